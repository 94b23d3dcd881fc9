#pragma once
// The program's help manager: the viewers register with it, and it hands each help request
// to the one viewer it chose for it.

#include <QString>
#include <QStringList>

#include <vector>

// A way of showing help files.
class THelpViewer {
public:
    virtual ~THelpViewer() = default;
    virtual QString viewerName() const = 0;
    virtual bool canShowTableOfContents() const = 0;
    virtual void showTableOfContents(const QString& helpFile) = 0;
    // Closes every window the viewer opened.
    virtual void shutDown() = 0;
    // The number the manager gave the viewer at registration, counted from 1.
    virtual void setViewerNumber(int number) = 0;
};

// Picks one viewer when several offer the same service.
class THelpSelector {
public:
    virtual ~THelpSelector() = default;
    // The position of the chosen viewer in the sorted list of their names.
    virtual int selectTableOfContents(const QStringList& sortedNames) = 0;
};

class THelpManager {
public:
    void registerViewer(THelpViewer* viewer);
    void unregisterViewer(THelpViewer* viewer);
    void setSelector(THelpSelector* selector) { m_selector = selector; }

    // Shows the table of contents of the help file; a missing file does nothing, and says
    // nothing.
    void showTableOfContents(const QString& helpFile);

private:
    std::vector<THelpViewer*> m_viewers;
    THelpSelector* m_selector = nullptr;
};
