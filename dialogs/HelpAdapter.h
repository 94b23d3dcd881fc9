#pragma once
// Brings compiled HTML help (.chm) to the program: loads chmlib at start, registers a viewer
// for it with the help manager, and at the end closes the help windows and unloads it.

#include "dialogs/HelpFile.h"
#include "dialogs/HelpManager.h"

#include <QPointer>

#include <map>
#include <memory>

class QWidget;
class THelpWindow;

// Reads a help file in a child process: a damaged file may crash chmlib or make it loop, and
// then only the child is lost. Null for a file that cannot be read whole in time.
class TChmHelpTester {
public:
    explicit TChmHelpTester(const ChmLibrary& lib);
    std::optional<HelpArchive> unpack(const QString& helpFile, int timeoutMs = 20000) const;

private:
    const ChmLibrary& m_lib;
};

// Shows a help file in our own window, one window per file.
class TChmHelpViewer : public THelpViewer {
public:
    explicit TChmHelpViewer(const TChmHelpTester& tester);
    ~TChmHelpViewer() override;

    QString viewerName() const override;
    bool canShowTableOfContents() const override { return true; }
    void showTableOfContents(const QString& helpFile) override;
    void shutDown() override;
    void setViewerNumber(int number) override { m_number = number; }
    int viewerNumber() const { return m_number; }

    // The window showing the file, if one is open.
    THelpWindow* window(const QString& helpFile) const;

private:
    const TChmHelpTester& m_tester;
    std::map<QString, QPointer<THelpWindow>> m_windows;
    int m_number = 0;
};

// Chooses our viewer when others offer the same service.
class TChmHelpSelector : public THelpSelector {
public:
    explicit TChmHelpSelector(const TChmHelpViewer& viewer);
    int selectTableOfContents(const QStringList& sortedNames) override;

private:
    const TChmHelpViewer& m_viewer;
};

class THelpAdapter {
public:
    explicit THelpAdapter(THelpManager& manager, const char* library = "libchm.so.1");
    ~THelpAdapter();
    THelpAdapter(const THelpAdapter&) = delete;
    THelpAdapter& operator=(const THelpAdapter&) = delete;

    bool loaded() const { return m_lib != nullptr; }
    TChmHelpViewer* viewer() const { return m_viewer.get(); }

    // The box that says, once at start, that this machine cannot show the help.
    static void showMissingLibraryWarning(QWidget* parent);

private:
    THelpManager& m_manager;
    std::unique_ptr<ChmLibrary> m_lib;
    std::unique_ptr<TChmHelpTester> m_tester;
    std::unique_ptr<TChmHelpViewer> m_viewer;
    std::unique_ptr<TChmHelpSelector> m_selector;
};
