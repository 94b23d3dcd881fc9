#pragma once
// The editor of the display template. The template separates its lines with CR LF; the
// editor shows them as lines and gives them back with CR LF. Tab moves the focus on, as in
// the dialogs users know, instead of typing a tab; Enter starts a new line.

#include <QPlainTextEdit>

class TTemplateEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TTemplateEditor(QWidget* parent = nullptr);

    // The text with its lines separated by CR LF. Until the user edits it, exactly the text
    // last set, even where that holds a lone CR or LF that the editor shows as a line break.
    QString templateText() const;
    void setTemplateText(const QString& text);

private:
    QString m_given;
};
