#include "helpviewer/HelpWindow.h"

#include "helpviewer/HelpLinks.h"
#include "helpviewer/HelpPage.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kTopicRole = Qt::UserRole;

// Adds the entries to the tree. They are walked with a list of their own rather than by
// recursion, so that no nesting of a file's contents can use up the stack.
void addEntries(QTreeWidget* tree, const std::vector<HelpEntry>& entries)
{
    std::vector<std::pair<QTreeWidgetItem*, const std::vector<HelpEntry>*>> pending {
        {nullptr, &entries}};
    while (!pending.empty()) {
        const auto [parent, list] = pending.back();
        pending.pop_back();
        for (const HelpEntry& entry : *list) {
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
            item->setText(0, entry.name.isEmpty() ? entry.local : entry.name);
            item->setData(0, kTopicRole, entry.local);
            if (!entry.children.empty())
                pending.push_back({item, &entry.children});
        }
    }
}

// A picture of the help file, decoded here rather than by the text document: the document
// looks for a picture it cannot decode on the local disk under the name the page gave it.
// Only pixel formats are decoded: a drawing format may name further pictures by their path.
// Pictures that cannot be decoded, or would be larger than any page needs, become an empty one.
QImage helpPicture(const QByteArray& bytes)
{
    static const QList<QByteArray> formats {"png", "jpeg", "jpg", "gif", "bmp", "ico"};
    const qint64 maxSide = HelpPageLimits().maxImageSide;
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    QImage image;
    if (formats.contains(reader.format()) &&
        (!size.isValid() || qint64(size.width()) * size.height() <= maxSide * maxSide))
        image = reader.read();
    if (image.isNull()) {
        image = QImage(1, 1, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
    }
    return image;
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

QUrl THelpBrowser::topicUrl(const QString& path) { return helpTopicUrl(path); }

QVariant THelpBrowser::loadResource(int type, const QUrl& name)
{
    // Every request gets an answer of its kind here, empty for anything outside the help file:
    // without an answer the text document would read the local file or address itself.
    const auto bytes =
        isInsideHelpFile(name) ? m_archive->file(name.path(QUrl::FullyDecoded)) : std::nullopt;
    switch (type) {
    case QTextDocument::HtmlResource: {
        // A page is cut down to what the layout can take within a frame before it is shown;
        // only the bytes that the bounded page can come from are decoded.
        if (!bytes)
            return QString();
        const qsizetype read = 2 * HelpPageLimits().maxSource;
        return boundedHelpPage(decodeHelpText(bytes->left(read), m_charset));
    }
    case QTextDocument::StyleSheetResource:
        return bytes ? boundedHelpStyleSheet(decodeHelpText(*bytes, m_charset)) : QString();
    case QTextDocument::ImageResource:
        return helpPicture(bytes.value_or(QByteArray()));
    default:
        return bytes.value_or(QByteArray());
    }
}

void THelpBrowser::follow(const QUrl& link)
{
    // Only what the reader clicks is followed: pages of the file here, web and mail addresses
    // by the desktop.
    const HelpLink target = helpLinkTarget(source(), link);
    if (target.kind == HelpLink::Topic)
        setSource(target.url);
    else if (target.kind == HelpLink::Desktop)
        QDesktopServices::openUrl(target.url);
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
    m_tabs->addTab(m_contents, tr("Inhalt"));
    m_tabs->addTab(m_index, tr("Index"));
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
    addEntries(tree, entries);
    tree->expandToDepth(0);
    // A click shows an entry's page; an address for the desktop is opened only when the entry
    // is activated (a double click, or a click where the style says so, or Enter), once.
    connect(tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { openItem(item, false); });
    connect(tree, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { openItem(item, true); });
    return tree;
}

void THelpWindow::openItem(QTreeWidgetItem* item, bool activated)
{
    const HelpLink target = helpEntryTarget(item->data(0, kTopicRole).toString());
    if (target.kind == HelpLink::Topic)
        m_browser->setSource(target.url, QTextDocument::HtmlResource);
    else if (target.kind == HelpLink::Desktop && activated)
        QDesktopServices::openUrl(target.url);
}

void THelpWindow::showTopic(const QString& path)
{
    const HelpLink target = helpEntryTarget(path);
    if (target.kind == HelpLink::Topic)
        m_browser->setSource(target.url, QTextDocument::HtmlResource);
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

void THelpWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the help as it closes the program's dialogs; the lists and the page leave
    // it to the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}
