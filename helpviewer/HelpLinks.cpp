#include "helpviewer/HelpLinks.h"

namespace {

const QString kScheme = QStringLiteral("chm");

// The kind of an absolute address.
HelpLink classify(const QUrl& url)
{
    const QString scheme = url.scheme();
    if (scheme == kScheme)
        return {HelpLink::Topic, url};
    const bool web = (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
                     !url.host().isEmpty();
    const bool mail = scheme == QLatin1String("mailto") && !url.path().isEmpty();
    if (url.isValid() && (web || mail))
        return {HelpLink::Desktop, url};
    return {};
}

} // namespace

QUrl helpTopicUrl(const QString& path)
{
    QUrl url;
    url.setScheme(kScheme);
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    url.setPath(hash < 0 ? path : path.left(hash));
    if (hash >= 0)
        url.setFragment(path.mid(hash + 1));
    return url;
}

bool isInsideHelpFile(const QUrl& url) { return url.scheme() == kScheme; }

HelpLink helpLinkTarget(const QUrl& page, const QUrl& link)
{
    const QString text = link.toString();
    // Links written for the platform's viewer name a help file and the page after "::"; the
    // page is looked for in this file.
    if (const qsizetype sep = text.indexOf(QLatin1String("::")); sep >= 0)
        return {HelpLink::Topic, helpTopicUrl(text.mid(sep + 2))};
    return classify(page.resolved(link));
}

HelpLink helpEntryTarget(const QString& topic)
{
    if (topic.isEmpty())
        return {};
    // The contents name pages inside the file by their path, other things by their address.
    if (!topic.contains(QLatin1String("://")))
        return {HelpLink::Topic, helpTopicUrl(topic)};
    return classify(QUrl(topic));
}
