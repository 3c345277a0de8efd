// SPDX-License-Identifier: MIT
#pragma once

class BoardModel;
class SettingsFile;
struct ProcessValues;

/// Applies setup.ini to the board at start-up: position, panels,
/// transparency, lock, always-on-top, security key, the file-box root (repaired
/// and created when missing), categories, colours and their folders, user
/// name, password and the calendar's check mark. A category whose caption
/// cannot name a folder gets none, and the reason instead. The background
/// picture, the calendar window and the memos are loaded by their own parts
/// afterwards.
void LoadBoardSettings(BoardModel &board, const SettingsFile &settings, ProcessValues &values);

/// Stores the board's layout. Runs only on an orderly unload: a board hidden
/// in the tray keeps its last stored position, and a top edge lower than
/// 10000 twips is stored as 0.
void SaveBoardSettings(const BoardModel &board, const SettingsFile &settings);
