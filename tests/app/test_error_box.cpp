#include "app/ErrorBox.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TApplication* g_app = nullptr;

// An object whose event handling fails the way a handler of the program can.
class Failing : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Premature end of JPEG file");
        return QObject::event(e);
    }
};

} // namespace

TEST(ErrorBox, AnExceptionFromAnEventHandlerIsShownAndTheLoopGoesOn)
{
    QStringList shown;
    setErrorPresenter([&](const QString& m) { shown << m; });
    Failing failing;
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    bool later = false;
    QTimer::singleShot(0, [&] {
        later = true;
        QCoreApplication::exit(0);
    });
    EXPECT_EQ(g_app->exec(), 0);
    EXPECT_TRUE(later);
    EXPECT_EQ(shown, QStringList({"Premature end of JPEG file", "Premature end of JPEG file"}));
    setErrorPresenter({});
}

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    g_app = &app;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
