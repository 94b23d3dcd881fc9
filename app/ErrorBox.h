#pragma once
// The application's standard error box: the one place where a failure becomes text on the
// screen. Everything that reaches the event loop as an exception ends up here.

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// The window the box is parented to (the stay-on-top main window), so it shows above it.
void setErrorBoxOwner(QWidget* owner);

// Shows the message in a modal box; the program goes on afterwards.
void showErrorBox(const QString& message);

// Replaces the box by another way of showing the message (tests use it to see what the user
// would read); an empty function restores the box.
void setErrorPresenter(std::function<void(const QString&)> presenter);

// The application object: catches every exception that an event handler lets through and
// shows it in the error box, so that no exception ever crosses Qt's event loop.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
