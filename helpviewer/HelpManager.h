#pragma once
// The program's help manager: F1 asks it for a help file's contents, and it hands the request
// to the viewer that registered, if one did (none does where the help library is missing).

#include <QString>

// A way of showing help files.
class THelpViewer {
public:
    virtual ~THelpViewer() = default;
    virtual void showTableOfContents(const QString& helpFile) = 0;
    // Closes every window the viewer opened.
    virtual void shutDown() = 0;
};

class THelpManager {
public:
    void registerViewer(THelpViewer* viewer) { m_viewer = viewer; }
    void unregisterViewer(THelpViewer* viewer)
    {
        if (m_viewer == viewer)
            m_viewer = nullptr;
    }

    // Shows the table of contents of the help file; a missing file does nothing, and says
    // nothing.
    void showTableOfContents(const QString& helpFile);

private:
    THelpViewer* m_viewer = nullptr;
};
