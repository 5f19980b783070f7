#include "app/main/HelpPage.h"

#include "platform/Picture.h"

#include <QFile>
#include <QRegularExpression>

#include <stdexcept>

namespace {

// The picture types that open here, from the readers installed when the page is written.
QString pictureTypes() {
    QStringList types = {QStringLiteral("BMP"), QStringLiteral("JPEG"), QStringLiteral("GIF")};
    for (const QString& ext : QtPictureExtensions()) types << ext.toUpper();
    return types.join(QStringLiteral(", "));
}

} // namespace

QString HelpPageHtml(const THelpPlaces& places) {
    QFile page(QStringLiteral(":/help/Mozaro.html"));
    if (!page.open(QIODevice::ReadOnly))
        throw std::runtime_error("The help page is missing from the program");
    const QString html = QString::fromUtf8(page.readAll());
    const QString types = pictureTypes();
    auto place = [&](const QString& mark) -> const QString* {
        if (mark == QLatin1String("SETTINGS_FILE")) return &places.SettingsFile;
        if (mark == QLatin1String("KEY_STORE")) return &places.KeyStore;
        if (mark == QLatin1String("LOG_FILE")) return &places.LogFile;
        if (mark == QLatin1String("HELP_FILE")) return &places.HelpFile;
        if (mark == QLatin1String("SHORTCUT_FILE")) return &places.ShortcutFile;
        if (mark == QLatin1String("WALLPAPER_FILE")) return &places.WallpaperFile;
        if (mark == QLatin1String("PICTURE_TYPES")) return &types;
        return nullptr;
    };
    // One pass over the page, so a path that happens to contain a mark is not filled in again; a path
    // may hold '<' or '&', so it goes in as text, never as markup.
    static const QRegularExpression marks(QStringLiteral("@([A-Z_]+)@"));
    QString out;
    out.reserve(html.size() + 512);
    qsizetype from = 0;
    for (auto it = marks.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString* value = place(m.captured(1));
        if (!value) continue;
        out += QStringView(html).mid(from, m.capturedStart() - from);
        out += value->toHtmlEscaped();
        from = m.capturedEnd();
    }
    out += QStringView(html).mid(from);
    return out;
}
