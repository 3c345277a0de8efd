// SPDX-License-Identifier: MIT
#include "memos/MemoEditorWindow.h"

#include "common/CharacterFilter.h"
#include "common/Fonts.h"
#include "common/Twips.h"
#include "common/WindowsColour.h"
#include "memos/MemoBodyEdit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>

namespace {

constexpr int kContentFrameHeight = 7335;
constexpr int kSnoozeStripHeight = 500;
constexpr int kEditModeHeight = 8430;
const QString kFieldFrameCaption = QStringLiteral("[编辑区]");
using Period = MemoEditorForm::Period;
// Option buttons in their order on the window: 按年 按季 按月 按日 按周.
constexpr Period kOptionPeriods[5] = {Period::Yearly, Period::Quarterly, Period::Monthly, Period::Daily,
                                      Period::Weekly};

} // namespace

MemoEditorWindow::MemoEditorWindow(const SettingsFile &settings, UserDialogs &dialogs, Balloons *balloons,
                                   int number, bool viewMode, const QString &colourText, QWidget *parent)
    : QDialog(parent)
    , m_form(settings, dialogs, balloons) {
    setObjectName(QStringLiteral("Q_MEMO"));
    setWindowTitle(QStringLiteral("便笺 (ALT+F4关闭)"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFont(songFont(10.5));

    m_contentFrame = new QGroupBox(this);
    m_contentFrame->setObjectName(QStringLiteral("Fra1(0)"));
    m_contentFrame->setGeometry(Twips::rectToPixels(0, 0, 11895, 7335));
    m_body = new MemoBodyEdit(m_contentFrame);
    m_body->setObjectName(QStringLiteral("EditMemo"));
    m_body->setGeometry(Twips::rectToPixels(120, 240, 11655, 6975));
    m_body->setToolTip(QStringLiteral("Ctrl+V或者鼠标右键可粘贴内容"));
    m_body->setContextMenuPolicy(Qt::NoContextMenu);
    m_body->viewport()->installEventFilter(this);
    if (!colourText.isEmpty()) {
        QPalette palette = m_body->palette();
        palette.setColor(QPalette::Base, WindowsColour::fromText(colourText));
        m_body->setPalette(palette);
    }

    auto *fields = new QGroupBox(kFieldFrameCaption, this);
    m_fieldFrame = fields;
    fields->setObjectName(QStringLiteral("Fra1(1)"));
    fields->setGeometry(Twips::rectToPixels(0, 7320, 11895, 1095));
    const auto label = [fields](const QString &text, int left, int top, int width) {
        auto *l = new QLabel(text, fields);
        l->setGeometry(Twips::rectToPixels(left, top, width, 300));
    };
    const auto box = [this, fields](int index, int left, int top, int width, int maxLength) {
        auto *edit = new QLineEdit(fields);
        edit->setObjectName(QStringLiteral("Text1(%1)").arg(index));
        edit->setGeometry(Twips::rectToPixels(left, top, width, 300));
        if (index >= 2) {
            // The filter keeps the limit: a paste is filtered before it is cut.
            edit->setValidator(new CharacterFilter(
                [index](QChar c) { return MemoEditorForm::acceptsKey(index, c); }, maxLength, edit));
            edit->installEventFilter(this);
        } else if (maxLength > 0) {
            edit->setMaxLength(maxLength);
        }
        m_boxes[index] = edit;
        return edit;
    };
    label(QStringLiteral("编号："), 120, 240, 600);
    QLineEdit *numberBox = box(0, 720, 240, 500, 0);
    numberBox->setReadOnly(true);
    QPalette yellow = numberBox->palette();
    yellow.setColor(QPalette::Base, WindowsColour::fromWord(0x00C0FFFF));
    numberBox->setPalette(yellow);
    label(QStringLiteral("便笺标题："), 1400, 240, 1000);
    box(1, 2400, 240, 5200, 30);
    m_enabled = new QCheckBox(QStringLiteral("是否启用提醒"), fields);
    m_enabled->setObjectName(QStringLiteral("Ck1"));
    m_enabled->setGeometry(Twips::rectToPixels(7800, 240, 1700, 300));
    // Neither button is a default button: Enter in a field must never empty
    // the body or save it. Each acts on a click or its Alt mnemonic only.
    auto *clear = new QPushButton(QStringLiteral("清除(&C)"), fields);
    clear->setObjectName(QStringLiteral("Command2"));
    clear->setGeometry(Twips::rectToPixels(9600, 200, 1000, 360));
    clear->setAutoDefault(false);
    connect(clear, &QPushButton::clicked, this, &MemoEditorWindow::clearBody);
    auto *saveButton = new QPushButton(QStringLiteral("保存(&S)"), fields);
    saveButton->setObjectName(QStringLiteral("Command1"));
    saveButton->setGeometry(Twips::rectToPixels(10700, 200, 1000, 360));
    saveButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, &MemoEditorWindow::save);

    label(QStringLiteral("提醒设定："), 120, 660, 1000);
    const QStringList captions = {QStringLiteral("按年"), QStringLiteral("按季"), QStringLiteral("按月"),
                                  QStringLiteral("按日"), QStringLiteral("按周")};
    for (int i = 0; i < 5; ++i) {
        auto *option = new QRadioButton(captions[i], fields);
        option->setObjectName(QStringLiteral("Op1(%1)").arg(i));
        option->setToolTip(MemoEditorForm::periodCharacter(kOptionPeriods[i]));
        option->setGeometry(Twips::rectToPixels(1100 + 800 * i, 660, 800, 300));
        connect(option, &QRadioButton::clicked, this, [this, i] {
            m_form.choosePeriod(kOptionPeriods[i]);
            applyPeriod();
        });
        m_periods[i] = option;
    }
    // Close set, so that the lunar boxes fit at the end of the row.
    box(2, 5150, 660, 400, 1);
    label(QStringLiteral("日期："), 5650, 660, 650);
    box(3, 6300, 660, 450, 2);
    label(QStringLiteral("月"), 6780, 660, 240);
    box(4, 7020, 660, 450, 2);
    label(QStringLiteral("日 时间："), 7500, 660, 930);
    box(5, 8430, 660, 1125, 8);
    // A yearly memo may be set by lunar month and day: the date boxes then
    // hold those. No row is left, so the note goes into the frame's caption.
    m_lunar = new QCheckBox(QStringLiteral("农历(&N)"), fields);
    m_lunar->setObjectName(QStringLiteral("Lunar"));
    m_lunar->setGeometry(Twips::rectToPixels(9620, 660, 1125, 300));
    m_leapMonth = new QCheckBox(QStringLiteral("闰月(&R)"), fields);
    m_leapMonth->setObjectName(QStringLiteral("LeapMonth"));
    m_leapMonth->setGeometry(Twips::rectToPixels(10745, 660, 1125, 300));
    const auto refreshDate = [this] {
        takeFields();
        m_form.clampMonthAndDay();
        for (auto [box, value] : {std::pair{m_boxes[3], m_form.month}, std::pair{m_boxes[4], m_form.day}}) {
            if (box->text() != value)
                box->setText(value);
        }
        showLunarNote();
    };
    for (int i : {3, 4})
        connect(m_boxes[i], &QLineEdit::textEdited, this, refreshDate);
    for (QCheckBox *check : {m_lunar, m_leapMonth})
        connect(check, &QCheckBox::toggled, this, refreshDate);

    QTextDocument *document = m_body->document();
    m_form.LoadMemo(number, *document);
    showForm();

    if (viewMode) {
        // The view shows the body alone: the fields are neither seen nor
        // reachable by Tab or their mnemonics.
        fields->hide();
        m_body->setReadOnly(true);
    }
    resize(Twips::toPixels(11910), Twips::toPixels(viewMode ? kContentFrameHeight : kEditModeHeight));
}

void MemoEditorWindow::offerSnooze() {
    // The view only: below the body of the edit mode sit its fields.
    if (!m_body->isReadOnly() || findChild<QWidget *>(QStringLiteral("Snooze")))
        return;
    // Below the content frame, which keeps its place and size.
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Snooze"));
    strip->setGeometry(Twips::rectToPixels(0, kContentFrameHeight, 11895, kSnoozeStripHeight));
    auto *caption = new QLabel(QStringLiteral("稍后提醒："), strip);
    caption->setGeometry(Twips::rectToPixels(7000, 100, 1200, 300));
    const std::pair<int, QString> choices[] = {
        {5, QStringLiteral("&5分钟")}, {10, QStringLiteral("1&0分钟")}, {30, QStringLiteral("&30分钟")}};
    int left = 8200;
    for (const auto &[minutes, text] : choices) {
        auto *button = new QPushButton(text, strip);
        button->setObjectName(QStringLiteral("Snooze%1").arg(minutes));
        button->setGeometry(Twips::rectToPixels(left, 70, 1100, 360));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, minutes] {
            Q_EMIT snoozeChosen(minutes);
            accept();
        });
        left += 1200;
    }
    strip->show();
    resize(width(), Twips::toPixels(kContentFrameHeight + kSnoozeStripHeight));
}

void MemoEditorWindow::setToday(const QDate &day) {
    m_form.today = day;
    showLunarNote();
}

void MemoEditorWindow::clearBody() {
    // One undoable step, so Ctrl+Z brings the body back.
    QTextCursor cursor(m_body->document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
}

void MemoEditorWindow::keyPressEvent(QKeyEvent *event) {
    // The editor closes through its window's close command only (Alt+F4, as
    // its title says): Escape would throw away what was typed. Enter has no
    // button to press.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void MemoEditorWindow::showForm() {
    m_boxes[0]->setText(QString::number(m_form.number));
    m_boxes[1]->setText(m_form.title);
    m_boxes[2]->setText(m_form.weekday);
    m_boxes[3]->setText(m_form.month);
    m_boxes[4]->setText(m_form.day);
    m_boxes[5]->setText(m_form.time);
    m_enabled->setChecked(m_form.enabled);
    const QSignalBlocker lunarBlocker(m_lunar);
    const QSignalBlocker leapBlocker(m_leapMonth);
    m_lunar->setChecked(m_form.lunar);
    m_leapMonth->setChecked(m_form.leapMonth);
    m_contentFrame->setTitle(m_form.frameCaption);
    for (int i = 0; i < 5; ++i)
        m_periods[i]->setChecked(kOptionPeriods[i] == m_form.period);
    applyPeriod();
}

void MemoEditorWindow::applyPeriod() {
    m_boxes[2]->setEnabled(m_form.weekdayEnabled());
    m_boxes[3]->setEnabled(m_form.monthEnabled());
    m_boxes[4]->setEnabled(m_form.dayEnabled());
    // Only a yearly memo recurs on a lunar day.
    m_lunar->setVisible(m_form.period == Period::Yearly);
    m_leapMonth->setVisible(m_form.period == Period::Yearly);
    showLunarNote();
}

void MemoEditorWindow::showLunarNote() {
    m_leapMonth->setEnabled(m_lunar->isChecked());
    const QString note = m_form.lunarNote();
    m_fieldFrame->setTitle(note.isEmpty() ? kFieldFrameCaption : kFieldFrameCaption + u' ' + note);
    m_lunar->setToolTip(note);
    m_leapMonth->setToolTip(note);
}

void MemoEditorWindow::takeFields() {
    m_form.title = m_boxes[1]->text();
    m_form.weekday = m_boxes[2]->text();
    m_form.month = m_boxes[3]->text();
    m_form.day = m_boxes[4]->text();
    m_form.time = m_boxes[5]->text();
    m_form.enabled = m_enabled->isChecked();
    m_form.lunar = m_lunar->isChecked();
    m_form.leapMonth = m_leapMonth->isChecked();
}

void MemoEditorWindow::save() {
    takeFields();
    const bool stored = m_form.save(*m_body->document());
    showForm();
    if (stored)
        Q_EMIT saved();
}

bool MemoEditorWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        for (int i = 0; i < int(m_boxes.size()); ++i) {
            if (watched != m_boxes[i])
                continue;
            // Printable keys only: Tab, Ctrl+A/C/V/X/Z and the like are
            // shortcuts or carry control characters, and keep working.
            const auto *key = static_cast<QKeyEvent *>(event);
            const QString text = key->text();
            const bool shortcut =
                key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
            if (!shortcut && text.size() == 1 && text[0].isPrint() &&
                !MemoEditorForm::acceptsKey(i, CharacterFilter::narrow(text[0])))
                return true; // swallowed
        }
    }
    if (watched == m_body->viewport() && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        if (!m_body->isReadOnly())
            m_body->paste();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
