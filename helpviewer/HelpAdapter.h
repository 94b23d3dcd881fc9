#pragma once
// Brings compiled HTML help (.chm) to the program: loads chmlib at start, registers a viewer
// for it with the help manager, and at the end closes the help windows and unloads it.

#include "helpviewer/HelpFile.h"
#include "helpviewer/HelpManager.h"
#include "helpviewer/HelpReader.h"

#include <QPointer>

#include <map>
#include <memory>

class QWidget;
class THelpWindow;

// Starts the readings of help files by the help reader: the program itself in its reader mode
// unless told another command. A damaged file may crash chmlib or make it loop, and then only
// the reader is lost; a reader that overruns the time limit is killed.
class TChmHelpTester {
public:
    explicit TChmHelpTester(QStringList readerCommand = programReaderCommand(),
                            int timeoutMs = 20000);
    std::unique_ptr<THelpReading> read(const QString& helpFile, THelpReading::Done done) const;

    // This program, started again in its reader mode.
    static QStringList programReaderCommand();

private:
    QStringList m_command;
    int m_timeoutMs;
};

// Shows a help file in our own window, one window per file.
class TChmHelpViewer : public THelpViewer {
public:
    explicit TChmHelpViewer(const TChmHelpTester& tester);
    ~TChmHelpViewer() override;

    void showTableOfContents(const QString& helpFile) override;
    void shutDown() override;

    // The window showing the file, if one is open.
    THelpWindow* window(const QString& helpFile) const;

private:
    void opened(const QString& helpFile, std::optional<HelpArchive> archive);

    const TChmHelpTester& m_tester;
    std::map<QString, QPointer<THelpWindow>> m_windows;
    std::map<QString, std::unique_ptr<THelpReading>> m_readings;
};

class THelpAdapter {
public:
    explicit THelpAdapter(THelpManager& manager, const char* library = "libchm.so.1",
                          QStringList readerCommand = TChmHelpTester::programReaderCommand());
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
};
