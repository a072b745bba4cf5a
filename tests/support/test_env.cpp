#include "support/test_env.h"

#include <QDir>
#include <ctime>
#include <sys/resource.h>
#include <QStandardPaths>

#include "document/cdtdoc.h"
#include "platform/folders.h"

namespace testenv {
namespace {
QString g_root;
int g_counter = 0;
} // namespace

void setHomeRoot(const QString& root)
{
    g_root = root;
}

QString resetHome()
{
    const QString home = g_root + QStringLiteral("/home%1").arg(++g_counter);
    QDir().mkpath(home);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());
    QStandardPaths::setTestModeEnabled(false);
    return home;
}

QString configFolder()
{
    return windowsFolder();
}

void withFileSizeLimit(long bytes, const std::function<void()>& run)
{
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
    run();
    setrlimit(RLIMIT_FSIZE, &previous);
}

std::time_t localTime(int year, int month, int day, int hour, int minute, int second)
{
    return timeFromLocalFields(DateFields{year, month, day, hour, minute, second});
}

ScopedTimeZone::ScopedTimeZone(const char* zone)
    : m_had(qEnvironmentVariableIsSet("TZ"))
    , m_old(qgetenv("TZ"))
{
    qputenv("TZ", zone);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_had)
        qputenv("TZ", m_old);
    else
        qunsetenv("TZ");
    tzset();
}

} // namespace testenv
