#include "LogGrid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QRegularExpression>
#include <QWindow>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace logviewer {

// --- filter bar ------------------------------------------------------------------------------

FilterHeader::FilterHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    connect(this, &QHeaderView::sectionResized, this, &FilterHeader::AdjustPositions);
    connect(this, &QHeaderView::sectionMoved, this, &FilterHeader::AdjustPositions);
    connect(this, &QHeaderView::geometriesChanged, this, &FilterHeader::AdjustPositions);
}

void FilterHeader::SetFilterColumns(int count, const QList<int>& without)
{
    qDeleteAll(m_cells);
    m_cells.clear();
    for (int col = 0; col < count; ++col) {
        if (without.contains(col)) {
            m_cells.append(nullptr);
            continue;
        }
        auto* cell = new QLineEdit(this);
        cell->setObjectName(QStringLiteral("FilterCell%1").arg(col));
        cell->setFrame(false);
        cell->setStyleSheet(QStringLiteral("QLineEdit { background: #fbfbea; border: 1px solid #d4d4d4; }"));
        cell->installEventFilter(this);
        connect(cell, &QLineEdit::textEdited, this, [this, col] { emit FilterChanged(col); });
        cell->show();
        m_cells.append(cell);
    }
    updateGeometries();
}

QLineEdit* FilterHeader::Cell(int col) const
{
    return col >= 0 && col < m_cells.size() ? m_cells.at(col) : nullptr;
}

QString FilterHeader::Text(int col) const
{
    const QLineEdit* cell = Cell(col);
    return cell ? cell->text() : QString();
}

void FilterHeader::ClearText(int col)
{
    if (QLineEdit* cell = Cell(col))
        cell->clear();
}

int FilterHeader::HeadingHeight() const
{
    return QHeaderView::sizeHint().height();
}

QSize FilterHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    for (const QLineEdit* cell : m_cells)
        if (cell) {
            size.setHeight(size.height() + cell->sizeHint().height());
            break;
        }
    return size;
}

void FilterHeader::updateGeometries()
{
    int barHeight = 0;
    for (const QLineEdit* cell : m_cells)
        if (cell) {
            barHeight = cell->sizeHint().height();
            break;
        }
    setViewportMargins(0, 0, 0, barHeight);
    QHeaderView::updateGeometries();
    AdjustPositions();
}

void FilterHeader::AdjustPositions()
{
    const int top = HeadingHeight();
    for (int col = 0; col < m_cells.size(); ++col) {
        QLineEdit* cell = m_cells.at(col);
        if (!cell)
            continue;
        const bool shown = col < count() && !isSectionHidden(col);
        cell->setVisible(shown);
        if (shown)
            cell->setGeometry(sectionViewportPosition(col), top, sectionSize(col), cell->sizeHint().height());
    }
}

bool FilterHeader::eventFilter(QObject* watched, QEvent* event)
{
    const int col = m_cells.indexOf(qobject_cast<QLineEdit*>(watched));
    if (col >= 0 && event->type() == QEvent::FocusIn)
        emit FilterFocused(col);
    if (col >= 0 && event->type() == QEvent::KeyPress) {
        // Left to the grid, Tab would move its current cell and leave the caret where it is.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool other = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const bool back = key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
        if (!other && (back || key->key() == Qt::Key_Tab)) {
            TabFrom(col, !back);
            return true;
        }
    }
    return QHeaderView::eventFilter(watched, event);
}

void FilterHeader::TabFrom(int col, bool next)
{
    auto* view = qobject_cast<QAbstractItemView*>(parentWidget());
    for (int v = visualIndex(col) + (next ? 1 : -1); v >= 0 && v < count(); v += next ? 1 : -1) {
        const int to = logicalIndex(v);
        QLineEdit* cell = Cell(to);
        if (!cell || isSectionHidden(to))
            continue;
        if (view && view->model() && view->model()->rowCount() > 0)
            view->scrollTo(view->model()->index(std::max(0, view->currentIndex().row()), to));
        cell->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
    }
    // Past the last cell or before the first: the window's own order names the control there
    // (the rows after the bar).
    focusNextPrevChild(next);
}

// --- model -----------------------------------------------------------------------------------

void LogGridModel::SetHeadingPicture(int col, const QIcon& picture)
{
    if (picture.isNull())
        m_pictures.remove(col);
    else
        m_pictures.insert(col, picture);
    emit headerDataChanged(Qt::Horizontal, col, col);
}

QVariant LogGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DecorationRole)
        return m_pictures.contains(section) ? QVariant(m_pictures.value(section)) : QVariant();
    return platform::XArrayDBModel::headerData(section, orientation, role);
}

QVariant LogGridModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::ToolTipRole)
        return {};
    return platform::XArrayDBModel::data(index, role);
}

// --- button column ---------------------------------------------------------------------------

void ButtonDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionButton button;
    button.rect = option.rect.adjusted(1, 1, -1, -1);
    button.text = index.data(Qt::DisplayRole).toString();
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    button.fontMetrics = option.fontMetrics;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
}

// --- date box --------------------------------------------------------------------------------

namespace {
const char* const kCausesValidation = "causesValidation";

bool IsTypedDigit(const QKeyEvent* event)
{
    const QString text = event->text();
    return text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9';
}

bool IsTypedSeparator(const QKeyEvent* event)
{
    const QString text = event->text();
    return text.size() == 1 && QStringLiteral("/-.").contains(text.at(0));
}

// A whole date typed as far as it can go: the separated form with its four-digit year, or
// eight digits.
bool IsCompleteEntry(const QString& text)
{
    static const QRegularExpression complete(QStringLiteral("^(\\d{1,2}[/.-]\\d{1,2}[/.-]\\d{4}|\\d{8})$"));
    return complete.match(text).hasMatch();
}

// The date a text gives as dd/mm/yyyy, dd/mm/yy (20yy), ddmmyyyy or ddmmyy; day and month may
// have one digit where separators ("/", "-" or ".") stand between them. Invalid when the text
// is none of these or names no day.
QDate ParseTyped(const QString& text)
{
    static const QRegularExpression separated(QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{2}|\\d{4})$"));
    static const QRegularExpression digits(QStringLiteral("^(\\d{2})(\\d{2})(\\d{2}|\\d{4})$"));
    QRegularExpressionMatch match = separated.match(text.trimmed());
    if (!match.hasMatch())
        match = digits.match(text.trimmed());
    if (!match.hasMatch())
        return {};
    int year = match.captured(3).toInt();
    if (match.captured(3).size() == 2)
        year += 2000;
    return QDate(year, match.captured(2).toInt(), match.captured(1).toInt());
}

}  // namespace

LogDateEdit::LogDateEdit(QWidget* parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    setCalendarPopup(true);
    // The wheel gives no focus: turned over a box that lacks it, it would change the date with
    // no check, while another box keeps the focus.
    setFocusPolicy(Qt::StrongFocus);
    lineEdit()->setFocusPolicy(Qt::StrongFocus);
    lineEdit()->installEventFilter(this);
}

void LogDateEdit::SetCausesValidation(QWidget* control, bool causes)
{
    control->setProperty(kCausesValidation, causes);
}

bool LogDateEdit::CausesValidation(const QWidget* control)
{
    const QVariant value = control->property(kCausesValidation);
    return !value.isValid() || value.toBool();
}

QDate LogDateEdit::TypedDate(const QString& text) const
{
    const QDate date = ParseTyped(text);
    return date.isValid() && date >= minimumDate() && date <= maximumDate() ? date : QDate();
}

QValidator::State LogDateEdit::validate(QString& input, int& pos) const
{
    // The display format has a four-digit year; one of two digits (20yy) makes a whole date
    // too, and a single digit is on its way to one (the format alone would read a first 0 as
    // the year 0000).
    static const QRegularExpression shortYear(QStringLiteral("^\\d{1,2}/\\d{1,2}/(\\d{1,2})$"));
    const QRegularExpressionMatch match = shortYear.match(input);
    if (match.hasMatch()) {
        if (match.captured(1).size() == 1)
            return QValidator::Intermediate;
        if (TypedDate(input).isValid())
            return QValidator::Acceptable;
    }
    return QDateEdit::validate(input, pos);
}

QDateTime LogDateEdit::dateTimeFromText(const QString& text) const
{
    const QDate typed = TypedDate(text);
    if (!typed.isValid())
        return QDateEdit::dateTimeFromText(text);
    QDateTime value = dateTime();
    value.setDate(typed);
    return value;
}

void LogDateEdit::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
    DropOvertakenEntry();
    if (m_entry == Entry::Whole) {
        WholeKey(event, plain);
        return;
    }
    if (m_entry == Entry::Parts) {
        PartsKey(event, plain);
        return;
    }
    // F4 and Alt+Down (or Alt+Up) open the calendar, as they open any drop-down, instead of
    // stepping the date.
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (calendarPopup() && ((event->key() == Qt::Key_F4 && plain) ||
                            (alt && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up)))) {
        OpenCalendar();
        event->accept();
        return;
    }
    QLineEdit* edit = lineEdit();
    if (plain && IsTypedDigit(event)) {
        // A digit typed over the whole selected text starts a whole date, as in a text box;
        // anywhere else it starts the part that holds the caret or the selection.
        if (edit->hasSelectedText() && edit->selectedText() == edit->text()) {
            BeginEntry(Entry::Whole);
            AddTyped(event->text().at(0));
        } else {
            BeginEntry(Entry::Parts);
            m_part = PartAt(edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition());
            PartDigit(event->text().at(0));
        }
        event->accept();
        return;
    }
    if (plain && IsTypedSeparator(event)) {
        // A separator ends the part being typed and goes on to the next one; a part still
        // selected whole (reached just now, its digits all typed) has nothing to end.
        const bool untouched = edit->hasSelectedText() && edit->selectedText() == sectionText(currentSection());
        if (!untouched)
            StepPart(true);
        event->accept();
        return;
    }
    const bool arrow = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
    if (arrow && !(event->modifiers() & Qt::ShiftModifier)) {
        StepPart(event->key() == Qt::Key_Right);
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

void LogDateEdit::OpenCalendar()
{
    // The box opens its calendar on a press of its arrow, and only there: the press is given
    // to it where the style draws the arrow.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QPoint arrow = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this).center();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(arrow), mapToGlobal(QPointF(arrow)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QDateEdit::mousePressEvent(&press);
}

void LogDateEdit::WholeKey(QKeyEvent* event, bool plain)
{
    if (plain && (IsTypedDigit(event) || IsTypedSeparator(event))) {
        if (m_typed.size() < 10)
            AddTyped(event->text().at(0));
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        m_typed.chop(1);
        if (m_typed.isEmpty())
            EndTyping(false);
        else
            ShowTyped();
        event->accept();
        return;
    }
    OtherKeyInEntry(event);
}

void LogDateEdit::PartsKey(QKeyEvent* event, bool plain)
{
    // A part chosen by the program (setSelectedSection) is the part typed next.
    QLineEdit* edit = lineEdit();
    if (edit->selectionStart() != m_shownSelection || edit->cursorPosition() != m_shownCursor) {
        m_part = PartAt(edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition());
        m_partFresh = edit->hasSelectedText();
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    QString& part = m_parts[m_part];
    if (plain && IsTypedDigit(event)) {
        PartDigit(event->text().at(0));
    } else if (plain && IsTypedSeparator(event)) {
        // Ends the part being typed; a part reached just now has nothing to end.
        if (!m_partFresh && m_part < 2)
            MoveToPart(m_part + 1);
    } else if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) && !shift) {
        MoveToPart(m_part + (event->key() == Qt::Key_Right ? 1 : -1));
    } else if ((event->key() == Qt::Key_Home || event->key() == Qt::Key_End) && !shift) {
        MoveToPart(event->key() == Qt::Key_Home ? 0 : 2);
    } else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        // A selected part is cleared; Backspace takes back the last digit of one being typed.
        if (m_partFresh)
            part.clear();
        else if (event->key() == Qt::Key_Backspace)
            part.chop(1);
        m_partFresh = false;
        FollowParts();
    } else {
        OtherKeyInEntry(event);
        return;
    }
    event->accept();
}

void LogDateEdit::OtherKeyInEntry(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel)) {
        EndTyping(false);
        event->accept();
        return;
    }
    // Any other key ends the entry and then does what it does, unless the entry gave no date.
    if (!EndTyping(true)) {
        event->accept();
        return;
    }
    keyPressEvent(event);
}

void LogDateEdit::StepPart(bool next)
{
    const int there = currentSectionIndex() + (next ? 1 : -1);
    if (there < 0 || there >= sectionCount()) {
        setSelectedSection(currentSection());
        return;
    }
    // The spin box's own way from part to part, which takes in a part typed halfway.
    QDateEdit::focusNextPrevChild(next);
}

void LogDateEdit::BeginEntry(Entry entry)
{
    m_entry = entry;
    m_dateBefore = date();
    m_typed.clear();
    const QDate d = m_dateBefore;
    m_parts[0] = QStringLiteral("%1").arg(d.day(), 2, 10, QLatin1Char('0'));
    m_parts[1] = QStringLiteral("%1").arg(d.month(), 2, 10, QLatin1Char('0'));
    m_parts[2] = QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
    m_part = 0;
    m_partFresh = true;
}

int LogDateEdit::PartWidth(int part)
{
    return part == 2 ? 4 : 2;
}

int LogDateEdit::PartAt(int position)
{
    // The parts stand where the format "dd/MM/yyyy" puts them, in the box's text and in the
    // text shown while the parts are typed alike.
    return position <= 2 ? 0 : position <= 5 ? 1 : 2;
}

void LogDateEdit::PartDigit(QChar c)
{
    QString& part = m_parts[m_part];
    if (m_partFresh)
        part.clear();
    m_partFresh = false;
    if (part.size() < PartWidth(m_part))
        part += c;
    // A day from 4 and a month from 2 can take no second digit.
    const bool ended = part.size() == PartWidth(m_part) ||
                       (m_part < 2 && part.size() == 1 && c > (m_part == 0 ? u'3' : u'1'));
    if (!ended) {
        FollowParts();
    } else if (m_part < 2) {
        MoveToPart(m_part + 1);
    } else {
        // The year is the last part: the entry stays open until the box is left, so that the
        // leaving key meets the check (a date that is none keeps the box and is said).
        FollowParts();
    }
}

void LogDateEdit::MoveToPart(int part)
{
    QString& left = m_parts[m_part];
    if (m_part < 2 && left.size() == 1)
        left.prepend(QLatin1Char('0'));
    m_part = std::clamp(part, 0, 2);
    m_partFresh = true;
    FollowParts();
}

QString LogDateEdit::PartsText() const
{
    return m_parts[0] + QLatin1Char('/') + m_parts[1] + QLatin1Char('/') + m_parts[2];
}

void LogDateEdit::FollowParts()
{
    // The box's date follows the parts while they give a date, so that what is typed is what
    // a check made meanwhile sees; the entry itself is checked as a whole when it ends.
    const QDate typed = TypedDate(PartsText());
    if (typed.isValid() && typed != date())
        setDate(typed);
    // Shown in the mask of the format, the missing digits as "_", so that the parts keep their
    // places while a part is half typed.
    QString text;
    int start = 0;
    for (int i = 0; i < 3; ++i) {
        if (i == m_part)
            start = static_cast<int>(text.size());
        text += m_parts[i].leftJustified(PartWidth(i), QLatin1Char('_'));
        if (i < 2)
            text += QLatin1Char('/');
    }
    QLineEdit* edit = lineEdit();
    const QSignalBlocker blocker(edit);
    edit->setText(text);
    if (m_partFresh)
        edit->setSelection(start, PartWidth(m_part));
    else
        edit->setCursorPosition(start + static_cast<int>(m_parts[m_part].size()));
    RememberShown();
}

void LogDateEdit::RememberShown()
{
    QLineEdit* edit = lineEdit();
    m_shownText = edit->text();
    m_shownSelection = edit->selectionStart();
    m_shownCursor = edit->cursorPosition();
}

void LogDateEdit::DropOvertakenEntry()
{
    // A date set by the program while an entry was under way replaces the entry: the box's
    // text is no longer the one the entry showed.
    if (m_entry != Entry::None && lineEdit()->text() != m_shownText) {
        m_entry = Entry::None;
        m_typed.clear();
    }
}

void LogDateEdit::AddTyped(QChar c)
{
    m_typed += c;
    ShowTyped();
    if (IsCompleteEntry(m_typed))
        EndTyping(true);
}

void LogDateEdit::ShowTyped()
{
    // Shown as typed; the box takes it in only when the entry ends.
    const QSignalBlocker blocker(lineEdit());
    lineEdit()->setText(m_typed);
    lineEdit()->setCursorPosition(static_cast<int>(m_typed.size()));
    RememberShown();
}

bool LogDateEdit::EndTyping(bool take)
{
    DropOvertakenEntry();
    if (m_entry == Entry::None)
        return true;
    const bool parts = m_entry == Entry::Parts;
    const QString typed = parts ? PartsText() : m_typed;
    m_entry = Entry::None;
    m_typed.clear();
    const QDate given = take ? TypedDate(typed) : QDate();
    // Setting the date rewrites the text in the box's format; a date not taken shows the
    // one the box had before the entry.
    setDate(given.isValid() ? given : m_dateBefore);
    if (!take || given.isValid()) {
        if (parts)
            setSelectedSection(m_part == 0 ? DaySection : m_part == 1 ? MonthSection : YearSection);
        return true;
    }
    lineEdit()->selectAll();  // ready for the date to be typed again
    // Said once the key, click or focus move under way is handled: a box opened in the middle
    // of a press would take its release, and one opened in a focus move would fight it.
    QMetaObject::invokeMethod(this, [this, typed] { emit NotADate(typed); }, Qt::QueuedConnection);
    return false;
}

void LogDateEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu's steps and paste work on the box's date: the entry ends first.
    if (!EndTyping(true)) {
        event->accept();
        return;
    }
    QDateEdit::contextMenuEvent(event);
}

void LogDateEdit::mousePressEvent(QMouseEvent* event)
{
    if (!EndTyping(true)) {
        event->accept();
        return;
    }
    QDateEdit::mousePressEvent(event);
}

void LogDateEdit::wheelEvent(QWheelEvent* event)
{
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    if (!EndTyping(true)) {  // the wheel steps the date the entry gives, when it gives one
        event->accept();
        return;
    }
    QDateEdit::wheelEvent(event);
}

void LogDateEdit::focusInEvent(QFocusEvent* event)
{
    QDateEdit::focusInEvent(event);
    // Presses on the window are looked at before they reach a control, so that one that would
    // take the focus from a refusing box never reaches it.
    QWindow* handle = window()->windowHandle();
    if (handle && handle != m_window) {
        if (m_window)
            m_window->removeEventFilter(this);
        m_window = handle;
        m_window->installEventFilter(this);
    }
}

bool LogDateEdit::Refuses()
{
    if (m_takingFocusBack)
        return true;
    if (!hasFocus())
        return false;
    bool cancel = false;
    emit ValidateRequested(&cancel);
    return cancel;
}

bool LogDateEdit::MayLeave()
{
    if (!EndTyping(true))
        return false;
    interpretText();
    bool cancel = false;
    emit ValidateRequested(&cancel);
    return !cancel;
}

// The control that a press at this point of the window would give the focus to, found as the
// application does it: the first enabled control from the one under the pointer outwards that
// takes the focus by click. None when the press leaves the focus where it is.
QWidget* LogDateEdit::FocusTargetAt(const QPointF& windowPos) const
{
    QWidget* top = window();
    QPoint pos = windowPos.toPoint();
    QWidget* w = top->childAt(pos);
    if (!w)
        return nullptr;
    pos = w->mapFrom(top, pos);
    while (w) {
        if (w->isEnabled() && w->rect().contains(pos) && (w->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus) {
            while (w->focusProxy())
                w = w->focusProxy();
            return w;
        }
        if (w->isWindow())
            return nullptr;
        const QWidget* proxy = w->focusProxy() ? w->focusProxy() : w;
        if (proxy->hasFocus())
            return nullptr;
        pos += w->pos();
        w = w->parentWidget();
    }
    return nullptr;
}

bool LogDateEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress)
        DropOvertakenEntry();
    if (watched == lineEdit() && m_entry == Entry::Parts) {
        // While the parts are typed a click chooses the part to type; a drag selects nothing.
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton)
                break;
            MoveToPart(PartAt(lineEdit()->cursorPositionAt(mouse->position().toPoint())));
            return true;
        }
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if ((mouse->buttons() | mouse->button()) & Qt::LeftButton)
                return true;
            break;
        }
        default:
            break;
        }
    }
    if (watched != m_window)
        return QDateEdit::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!hasFocus())
            break;
        QWidget* target = FocusTargetAt(mouse->position());
        if (!target || target == this || isAncestorOf(target) || !CausesValidation(target))
            break;
        if (!MayLeave()) {
            m_swallowed |= mouse->button();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_swallowed & mouse->button()) {
            m_swallowed &= ~mouse->button();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDateEdit::eventFilter(watched, event);
}

bool LogDateEdit::focusNextPrevChild(bool next)
{
    // Tab leaves the box, as it leaves any field of a form, whichever part holds the caret;
    // the arrows move between the parts.
    if (hasFocus() && !MayLeave())
        return true;
    return QAbstractSpinBox::focusNextPrevChild(next);
}

void LogDateEdit::focusOutEvent(QFocusEvent* event)
{
    const bool taken = EndTyping(true);
    QDateEdit::focusOutEvent(event);  // takes in what was typed
    // Only a control of this window that asks takes the focus under the test: a popup (the
    // calendar), another window, or the box that is taking its own focus back do not.
    const QWidget* to = QApplication::focusWidget();
    if (m_takingFocusBack || event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (!to || to->window() != window() || !CausesValidation(to))
        return;
    if (const auto* box = qobject_cast<const LogDateEdit*>(to); box && box->m_takingFocusBack)
        return;
    bool cancel = !taken;  // a text that gave no date keeps the focus, as a refused date does
    if (!cancel)
        emit ValidateRequested(&cancel);
    if (!cancel)
        return;
    // The focus went before the box could refuse (set by the program, say): it comes back
    // once, when the move under way has ended.
    m_takingFocusBack = true;
    QMetaObject::invokeMethod(this, &LogDateEdit::TakeFocusBack, Qt::QueuedConnection);
}

void LogDateEdit::TakeFocusBack()
{
    setFocus(Qt::OtherFocusReason);
    m_takingFocusBack = false;
}

// --- pictures --------------------------------------------------------------------------------

ImageList::ImageList()
{
    for (const bool ascending : {true, false}) {
        QPixmap pixmap(m_size, m_size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath triangle;
        if (ascending) {
            triangle.moveTo(m_size / 2.0, 4);
            triangle.lineTo(m_size - 3, m_size - 5);
            triangle.lineTo(3, m_size - 5);
        } else {
            triangle.moveTo(3, 5);
            triangle.lineTo(m_size - 3, 5);
            triangle.lineTo(m_size / 2.0, m_size - 4);
        }
        triangle.closeSubpath();
        painter.fillPath(triangle, QColor(40, 70, 140));
        painter.end();
        m_pictures.insert(ascending ? QStringLiteral("ImgSortAsc") : QStringLiteral("ImgSortDesc"), QIcon(pixmap));
    }
}

int ImageList::Width(const QString& key) const
{
    return m_pictures.contains(key) ? m_size : 0;
}

}  // namespace logviewer
