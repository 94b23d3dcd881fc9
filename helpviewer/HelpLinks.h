#pragma once
// What a help file may reach. A help file comes from anywhere, so its pages, contents and
// index reach only what is inside the file itself, and addresses on the web or for mail, which
// the desktop opens when the reader clicks them; nothing else is opened, read or handed on.

#include <QString>
#include <QUrl>

// Where a link, a contents entry or an index entry leads.
struct HelpLink {
    enum Kind {
        Topic,   // a page inside the help file, shown in the viewer
        Desktop, // a web or mail address, handed to the desktop when clicked
        Nowhere, // anything else: not followed
    };
    Kind kind = Nowhere;
    QUrl url; // the page's address inside the file, or the address for the desktop
};

// The address of a page inside the help file ("/sub/page.htm#part").
QUrl helpTopicUrl(const QString& path);

// Whether an address names something inside the help file.
bool isInsideHelpFile(const QUrl& url);

// Where a link on the page shown at `page` leads.
HelpLink helpLinkTarget(const QUrl& page, const QUrl& link);

// Where a contents or index entry leads; its topic is a path inside the file or an address.
HelpLink helpEntryTarget(const QString& topic);
