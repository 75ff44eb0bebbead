#include "frmMemo.h"

#include "LogFonts.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QResizeEvent>

#include <cmath>

frmMemo::frmMemo(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMemo"));
    setWindowTitle(QStringLiteral("Memo Writer"));
    setFont(logviewer::WindowFont(9));
    setModal(true);
    m_txtMemo = new QPlainTextEdit(this);
    m_txtMemo->setObjectName(QStringLiteral("txtMemo"));
    m_txtMemo->setFont(logviewer::FixedFont(12));
    m_txtMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    resize(720, 520);
    m_result.clear();
}

int frmMemo::TwipsToPixels(int twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiX() / 1440.0));
}

QString frmMemo::GetMemo(const QString& pMemoText, const QString& pMemoFieldName, bool pAllowedEdit, bool pFontBold)
{
    m_txtMemo->setPlainText(pMemoText);
    m_allowedEdit = pAllowedEdit;
    SetMemoCaption(pMemoFieldName);
    if (!pAllowedEdit) {
        // Locked and out of the Tab order, but not out of the keyboard's reach: the box has the
        // focus when the window opens and takes it back by a click, so that its text can be
        // selected, copied and paged through from the keys.
        m_txtMemo->setReadOnly(true);
        m_txtMemo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        m_txtMemo->setFocusPolicy(Qt::ClickFocus);
    }
    m_txtMemo->setFocus(Qt::OtherFocusReason);
    QFont font = m_txtMemo->font();
    font.setBold(pFontBold);
    m_txtMemo->setFont(font);
    exec();
    return m_result;
}

void frmMemo::SetMemoCaption(const QString& pMemoFieldName)
{
    setWindowTitle(pMemoFieldName);
    const int wanted = static_cast<int>(std::ceil(1.4 * QFontMetrics(logviewer::WindowFont(9)).horizontalAdvance(pMemoFieldName)));
    if (wanted > width())
        resize(wanted, height());
}

void frmMemo::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmMemo::Form_Resize()
{
    const int side = TwipsToPixels(30);
    const int bottom = TwipsToPixels(60);
    m_txtMemo->setGeometry(side, 0, std::max(0, width() - 2 * side), std::max(0, height() - bottom));
}
