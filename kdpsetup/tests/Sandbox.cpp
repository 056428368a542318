#include "Sandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

Fields driverFields(const char *drivername, const char *modelid, const char *cpubits)
{
    return {{"drivername"_q, QString::fromUtf8(drivername)},
            {"modelid"_q, QString::fromUtf8(modelid)},
            {"cpubits"_q, QString::fromUtf8(cpubits)}};
}

Sandbox::Sandbox()
{
    QDir().mkpath(path("home32"_q));
    QDir().mkpath(path("home64"_q));
    QDir().mkpath(app());
    installed = underTest::install(app());
    environment.insert("TQKEY_HOME"_q, underTest::environmentPath(path("home32"_q)));
    environment.insert("TQKEY_HOME_X64"_q, underTest::environmentPath(path("home64"_q)));
}

void Sandbox::useUnpacker(const UnpackerDouble &unpacker)
{
    underTest::useUnpacker(app(), unpacker, environment);
}

void Sandbox::useUnpacker(const QByteArray &script) const
{
    underTest::useUnpackerScript(app(), script);
}

QString Sandbox::package(const QString &name, const QMap<QString, QByteArray> &files) const
{
    const QString source = path("source-"_q + name);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        writeFile(source + QLatin1Char('/') + it.key(), it.value());
    EXPECT_TRUE(sevenZip(source, {"a"_q, path(name), "."_q})) << name.toStdString();
    return path(name);
}

QString Sandbox::package(const QString &name, const QByteArray &description) const
{
    return package(name, {{"config.xml"_q, description}, {"driver.dll"_q, "MZ driver " + name.toUtf8()}});
}

Sandbox::Run Sandbox::run(const QStringList &arguments, const QStringList &unset,
                          const QStringList &wrapper) const
{
    QProcessEnvironment runEnvironment = QProcessEnvironment::systemEnvironment();
    underTest::prepare(runEnvironment);
    runEnvironment.insert(environment);
    for (const QString &name : unset + QStringList{"QT_MESSAGE_PATTERN"_q, "QT_LOGGING_RULES"_q})
        runEnvironment.remove(name);
    QProcess process;
    process.setProcessEnvironment(runEnvironment);
    process.setWorkingDirectory(path());
    const QStringList command = wrapper + underTest::command(app(), arguments);
    process.start(command.first(), command.mid(1));
    EXPECT_TRUE(process.waitForFinished(150000));

    Run result;
    result.exitCode = underTest::exitCode(process);
    result.out = underTest::linuxLineEnds(process.readAllStandardOutput());
    result.err = process.readAllStandardError();
    const QByteArray opening = "all std output is  \"";
    const int start = result.err.indexOf(opening) + opening.size();
    const int end = start < opening.size() ? -1 : result.err.indexOf("\" \n\n", start);
    if (end >= 0) {
        result.unpacker = underTest::linuxLineEnds(result.err.mid(start, end - start));
        result.err.replace(start, end - start, "<7z>");
    }
    return result;
}

QByteArray Sandbox::progressLog(const Fields &fields, const QString &keyDrivers) const
{
    const QByteArray temp = seen(app("Temp/"_q));
    const QByteArray keyHome = keyDrivers.isEmpty() ? QByteArray() : seen(keyDrivers);
    QByteArray log = "KEYhome path is \"" + keyHome + "\" \n\nall std output is  \"<7z>\" \n\n"
                     "Temp path is \"" + temp + "\" \n\nConfig path is  \"" + temp + "config.xml\" \n\n";
    for (const auto &[tag, text] : fields)
        log += "Element name:  \"" + tag.toUtf8() + "\" \n\nText name: \"" + text.toUtf8() + "\" \n\n";
    return log;
}

QByteArray readRegistry(const QString &path)
{
    return underTest::linuxLineEnds(readFile(path));
}
