#pragma once
// Our help viewer: a window of its own with the file's contents tree and index beside the
// topic, which is shown with its pictures, styles and links from the unpacked help file.

#include "helpviewer/HelpFile.h"

#include <QTextBrowser>
#include <QWidget>

#include <memory>

class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// Shows pages of one help file, reading each page, picture and style sheet out of it and
// nothing from anywhere else.
class THelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    THelpBrowser(std::shared_ptr<const HelpArchive> archive, QByteArray charset,
                 QWidget* parent = nullptr);

    // The address of a page inside the help file ("/sub/page.htm#part").
    static QUrl topicUrl(const QString& path);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    void follow(const QUrl& link);

    std::shared_ptr<const HelpArchive> m_archive;
    QByteArray m_charset;
};

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    THelpWindow(std::shared_ptr<const HelpArchive> archive, const HelpContents& contents,
                const QString& fileName, QWidget* parent = nullptr);

    // Brings the window in front with the table of contents.
    void showTableOfContents();
    // Shows a page of the file; a topic outside the file is not shown and not handed on.
    void showTopic(const QString& path);

    QTreeWidget* contentsTree() const { return m_contents; }
    QTreeWidget* indexList() const { return m_index; }
    THelpBrowser* topicView() const { return m_browser; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTreeWidget* makeTree(const std::vector<HelpEntry>& entries);
    void openItem(QTreeWidgetItem* item, bool activated);

    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_contents = nullptr;
    QTreeWidget* m_index = nullptr;
    THelpBrowser* m_browser = nullptr;
    QString m_defaultTopic;
};
