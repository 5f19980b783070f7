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

bool SetDesktopWallpaper(const QString& bmpPath) {
    const QFileInfo info(bmpPath);
    if (!info.isFile()) return false;
    const QString file = info.absoluteFilePath();
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower();
    const QString gnome = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    const QString kde = QStandardPaths::findExecutable(QStringLiteral("plasma-apply-wallpaperimage"));
    const QString xfce = QStandardPaths::findExecutable(QStringLiteral("xfconf-query"));

    if (desktop.contains(QStringLiteral("kde"))) return !kde.isEmpty() && run(kde, {file});
    if (desktop.contains(QStringLiteral("xfce"))) return !xfce.isEmpty() && setXfce(xfce, file);
    if (desktop.contains(QStringLiteral("gnome")) || desktop.contains(QStringLiteral("unity")) ||
        desktop.contains(QStringLiteral("budgie")))
        return !gnome.isEmpty() && setGnome(gnome, file);
    bool ok = false;
    if (!gnome.isEmpty()) ok = setGnome(gnome, file) || ok;
    if (!kde.isEmpty()) ok = run(kde, {file}) || ok;
    if (!xfce.isEmpty()) ok = setXfce(xfce, file) || ok;
    return ok;
}
