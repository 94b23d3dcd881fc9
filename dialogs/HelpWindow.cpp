#include "dialogs/HelpWindow.h"

#include "dialogs/HelpPage.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kTopicRole = Qt::UserRole;
const QString kScheme = QStringLiteral("chm");

void addEntries(QTreeWidget* tree, QTreeWidgetItem* parent, const std::vector<HelpEntry>& entries)
{
    for (const HelpEntry& entry : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, entry.name.isEmpty() ? entry.local : entry.name);
        item->setData(0, kTopicRole, entry.local);
        addEntries(tree, item, entry.children);
    }
}

} // namespace

THelpBrowser::THelpBrowser(std::shared_ptr<const HelpArchive> archive, QByteArray charset,
                           QWidget* parent)
    : QTextBrowser(parent)
    , m_archive(std::move(archive))
    , m_charset(std::move(charset))
{
    // Links are followed here: the pages live inside the help file, not on disk.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &THelpBrowser::follow);
}

QUrl THelpBrowser::topicUrl(const QString& path)
{
    QUrl url;
    url.setScheme(kScheme);
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    url.setPath(hash < 0 ? path : path.left(hash));
    if (hash >= 0)
        url.setFragment(path.mid(hash + 1));
    return url;
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name)
{
    if (name.scheme() != kScheme)
        return {};
    const auto bytes = m_archive->file(name.path(QUrl::FullyDecoded));
    if (!bytes)
        return {};
    // A page is cut down to what the layout can take within a frame before it is shown.
    if (type == QTextDocument::HtmlResource) {
        // Only the bytes that the bounded page can come from are decoded.
        const qsizetype read = 2 * HelpPageLimits().maxSource;
        return boundedHelpPage(decodeHelpText(bytes->left(read), m_charset));
    }
    if (type == QTextDocument::StyleSheetResource)
        return boundedHelpStyleSheet(decodeHelpText(*bytes, m_charset));
    return *bytes;
}

void THelpBrowser::follow(const QUrl& link)
{
    const QString text = link.toString();
    // Links written for the platform's viewer name the file and the page after "::".
    if (const qsizetype sep = text.indexOf(QLatin1String("::")); sep >= 0) {
        setSource(topicUrl(text.mid(sep + 2)));
        return;
    }
    const QUrl target = source().resolved(link);
    if (target.scheme() == kScheme)
        setSource(target);
    else
        QDesktopServices::openUrl(target);
}

THelpWindow::THelpWindow(std::shared_ptr<const HelpArchive> archive, const HelpContents& contents,
                         const QString& fileName, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_defaultTopic(contents.defaultTopic)
{
    // The program ends with its main window, whatever help is still open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(contents.title.isEmpty() ? QFileInfo(fileName).completeBaseName()
                                            : contents.title);
    m_tabs = new QTabWidget;
    m_contents = makeTree(contents.contents);
    m_index = makeTree(contents.index);
    m_tabs->addTab(m_contents, QStringLiteral("Inhalt"));
    m_tabs->addTab(m_index, QStringLiteral("Index"));
    m_browser = new THelpBrowser(std::move(archive), contents.charset);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    resize(screen.width() * 3 / 4, screen.height() * 3 / 4);
    move(screen.center() - rect().center());
    splitter->setSizes({width() / 4, width() * 3 / 4});
    if (!m_defaultTopic.isEmpty())
        showTopic(m_defaultTopic);
}

QTreeWidget* THelpWindow::makeTree(const std::vector<HelpEntry>& entries)
{
    auto* tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    // Thousands of entries scroll smoothly only when rows are not measured one by one.
    tree->setUniformRowHeights(true);
    addEntries(tree, nullptr, entries);
    tree->expandToDepth(0);
    connect(tree, &QTreeWidget::itemActivated, this, &THelpWindow::openItem);
    connect(tree, &QTreeWidget::itemClicked, this, &THelpWindow::openItem);
    return tree;
}

void THelpWindow::openItem(QTreeWidgetItem* item)
{
    const QString topic = item->data(0, kTopicRole).toString();
    if (!topic.isEmpty())
        showTopic(topic);
}

void THelpWindow::showTopic(const QString& path)
{
    if (path.contains(QLatin1String("://")))
        QDesktopServices::openUrl(QUrl(path));
    else
        m_browser->setSource(THelpBrowser::topicUrl(path), QTextDocument::HtmlResource);
}

void THelpWindow::showTableOfContents()
{
    m_tabs->setCurrentWidget(m_contents);
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}
