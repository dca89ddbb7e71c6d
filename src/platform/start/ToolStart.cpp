#include "ToolStart.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tipdesk::tools {

namespace {

#ifdef Q_OS_UNIX
// A runtime folder as it must be: a folder (not a link) of this user that no one else may enter.
// Empty when that cannot be had, e.g. when another user already holds the name; Qt then warns,
// as it should.
QByteArray privateRuntimeFolder()
{
    const QByteArray path =
        QFile::encodeName(QDir::tempPath()) + "/tipdesk-runtime-" + QByteArray::number(uint(getuid()));
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st {};
    if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return {};
    if ((st.st_mode & 0777) != 0700 && chmod(path.constData(), 0700) != 0)
        return {};
    return path;
}
#endif

// The offscreen platform says of every window with a size constraint that it cannot pass it on
// to a window manager it does not have. That notice, and only that one, is dropped.
QtMessageHandler g_previousHandler = nullptr;

void offscreenMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}

} // namespace

void prepareEnvironment(Platform platform)
{
#ifdef Q_OS_UNIX
    // Only a GUI platform asks for the runtime folder; a core-only tool leaves nothing behind.
    if (platform != Platform::None && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray folder = privateRuntimeFolder();
        if (!folder.isEmpty())
            qputenv("XDG_RUNTIME_DIR", folder);
    }
#endif
    if (platform == Platform::Offscreen && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && !g_previousHandler)
        g_previousHandler = qInstallMessageHandler(offscreenMessages);
}

QString parseErrorText(const QCommandLineParser &parser)
{
    QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        for (QString &name : unknown)
            name.prepend(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"));
        return QStringLiteral("알 수 없는 옵션입니다: %1").arg(unknown.join(QStringLiteral(", ")));
    }
    // The parser's other complaints name the option in quotes.
    const QString text = parser.errorText();
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
    const QString option = quoted.match(text).captured(1);
    if (text.startsWith(QLatin1String("Missing value")))
        return QStringLiteral("%1 에 값을 주십시오").arg(option);
    if (text.startsWith(QLatin1String("Unexpected value")))
        return QStringLiteral("%1 은(는) 값을 받지 않습니다").arg(option);
    return QStringLiteral("명령줄이 잘못되었습니다 (%1)").arg(text);
}

std::optional<QDate> parseDay(const QString &text)
{
    static const QRegularExpression eightDigits(QStringLiteral("^[0-9]{8}$"));
    const QDate d = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    if (!eightDigits.match(text).hasMatch() || !d.isValid())
        return std::nullopt;
    return d;
}

} // namespace tipdesk::tools
