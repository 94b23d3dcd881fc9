#include "dialogs/TemplateEditor.h"

#include <QTextDocument>

TTemplateEditor::TTemplateEditor(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QString TTemplateEditor::templateText() const
{
    if (!document()->isModified())
        return m_given;
    // The raw text keeps non-breaking spaces and marks each break as a paragraph or line
    // separator; toPlainText() would turn the former into plain spaces.
    QString text = document()->toRawText();
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (const QChar c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            out += QStringLiteral("\r\n");
        else
            out += c;
    }
    return out;
}

void TTemplateEditor::setTemplateText(const QString& text)
{
    m_given = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    setPlainText(shown);
    document()->setModified(false);
}
