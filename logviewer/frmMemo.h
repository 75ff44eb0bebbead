#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

// A modal window that shows one long text in a scrollable box under a caption chosen by the
// caller. Each GetMemo call shows it until the user closes it.
class frmMemo : public QDialog {
    Q_OBJECT
public:
    explicit frmMemo(QWidget* parent = nullptr);

    // Shows pMemoText under the caption pMemoFieldName, read-only unless pAllowedEdit, bold when
    // pFontBold, and returns when the user closes the window. No path keeps an edited text, so
    // the result is the empty text.
    QString GetMemo(const QString& pMemoText, const QString& pMemoFieldName = QString(), bool pAllowedEdit = false,
                    bool pFontBold = false);

    QPlainTextEdit* txtMemo() const { return m_txtMemo; }
    // The margins of the text box in pixels for this screen: 30 twips left and right, 60 below.
    int TwipsToPixels(int twips) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetMemoCaption(const QString& pMemoFieldName);
    void Form_Resize();

    QPlainTextEdit* m_txtMemo = nullptr;
    bool m_allowedEdit = false;
    QString m_result;
};
