#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

constexpr int ToolTimeoutMs = 10000;

// Runs a tool to its end; true when it exited normally with status 0.
bool run(const QString& program, const QStringList& args, QByteArray* output = nullptr) {
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForStarted(ToolTimeoutMs)) return false;
    if (!p.waitForFinished(ToolTimeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    if (output) *output = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool setGnome(const QString& tool, const QString& file) {
    const QString uri = QUrl::fromLocalFile(file).toString();
    const QString schema = QStringLiteral("org.gnome.desktop.background");
    bool ok = run(tool, {QStringLiteral("set"), schema, QStringLiteral("picture-uri"), uri});
    // Newer GNOME keeps a second picture for the dark style; older ones lack the key (ignored).
    run(tool, {QStringLiteral("set"), schema, QStringLiteral("picture-uri-dark"), uri});
    ok = run(tool, {QStringLiteral("set"), schema, QStringLiteral("picture-options"),
                    QStringLiteral("wallpaper")}) &&
         ok;
    return ok;
}

bool setXfce(const QString& tool, const QString& file) {
    const QString channel = QStringLiteral("xfce4-desktop");
    QByteArray listing;
    if (!run(tool, {QStringLiteral("-c"), channel, QStringLiteral("-l")}, &listing)) return false;
    bool any = false;
    for (const QByteArray& line : listing.split('\n')) {
        const QString property = QString::fromUtf8(line.trimmed());
        if (!property.endsWith(QStringLiteral("/last-image"))) continue;
        any = run(tool, {QStringLiteral("-c"), channel, QStringLiteral("-p"), property, QStringLiteral("-s"),
                         file}) ||
              any;
    }
    return any;
}

} // namespace

bool BrowserAvailable() {
    // The desktop opens pages through xdg-open: with a program registered for HTML, else with a
    // browser it finds itself ($BROWSER or a known one on PATH).
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()) return false;
    const QString mime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    QByteArray handler;
    if (!mime.isEmpty() &&
        run(mime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")},
            &handler) &&
        !handler.trimmed().isEmpty())
        return true;
    if (!qEnvironmentVariable("BROWSER").isEmpty()) return true;
    for (const char* browser : {"x-www-browser", "sensible-browser", "firefox", "firefox-esr", "chromium",
                                "google-chrome", "epiphany", "konqueror", "falkon", "lynx", "w3m"})
        if (!QStandardPaths::findExecutable(QString::fromLatin1(browser)).isEmpty()) return true;
    return false;
}

bool ShellOpenHelp(const QString& document) {
    // A URL with a scheme is opened as it stands; anything else is a file path (relative ones from the
    // current folder), never guessed into a web address.
    const QUrl url(document);
    if (url.isValid() && url.scheme().size() > 1) {
        if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) return false;
        return QDesktopServices::openUrl(url);
    }
    const QFileInfo info(document);
    if (!info.exists() || !BrowserAvailable()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool ShellPrintDocument(const QString& path) {
    const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
    const QFileInfo info(path);
    if (lp.isEmpty() || !info.isFile()) return false;
    // The absolute path starts with '/', so lp never takes it for an option.
    return run(lp, {info.absoluteFilePath()});
}

bool SetDesktopWallpaper(const QString& bmpPath, QString* why) {
    auto fail = [why](const QString& reason) {
        if (why) *why = reason;
        return false;
    };
    const QFileInfo info(bmpPath);
    if (!info.isFile()) return fail(QStringLiteral("the picture file %1 is missing").arg(bmpPath));
    const QString file = info.absoluteFilePath();
    const QString named = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const QString desktop = named.toLower();

    // The desktop's own tool: it must be there and accept the picture.
    auto useTool = [&](const char* name, auto&& set) {
        const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (tool.isEmpty()) return fail(QStringLiteral("its tool \"%1\" is not installed").arg(name));
        if (!set(tool)) return fail(QStringLiteral("its tool \"%1\" did not accept the picture").arg(name));
        return true;
    };
    if (desktop.contains(QStringLiteral("kde")))
        return useTool("plasma-apply-wallpaperimage", [&](const QString& tool) { return run(tool, {file}); });
    if (desktop.contains(QStringLiteral("xfce")))
        return useTool("xfconf-query", [&](const QString& tool) { return setXfce(tool, file); });
    if (desktop.contains(QStringLiteral("gnome")) || desktop.contains(QStringLiteral("unity")) ||
        desktop.contains(QStringLiteral("budgie")))
        return useTool("gsettings", [&](const QString& tool) { return setGnome(tool, file); });
    if (named.isEmpty())
        return fail(
            QStringLiteral("the desktop does not say which it is (XDG_CURRENT_DESKTOP is not set), and "
                           "Mozaro changes the wallpaper of GNOME, KDE Plasma and Xfce only"));
    return fail(QStringLiteral("Mozaro changes the wallpaper of GNOME, KDE Plasma and Xfce only, not of %1")
                    .arg(named));
}
