#include "app/ErrorBox.h"

#include <QMessageBox>

#include <cstdio>
#include <exception>

namespace {

QPointer<QWidget> g_owner;
std::function<void(const QString&)> g_presenter;

} // namespace

void setErrorBoxOwner(QWidget* owner) { g_owner = owner; }

void setErrorPresenter(std::function<void(const QString&)> presenter)
{
    g_presenter = std::move(presenter);
}

void showErrorBox(const QString& message)
{
    if (g_presenter) {
        g_presenter(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, g_owner.data());
    // The main window hides the pointer everywhere; the box must be usable with the mouse.
    box.setCursor(Qt::ArrowCursor);
    box.exec();
}

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{ }

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showErrorBox(QString::fromUtf8(e.what()));
    } catch (...) {
        showErrorBox(QStringLiteral("Unknown error."));
    }
    return false;
}
