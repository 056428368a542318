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
    EXPECT_TRUE(QFile::copy(QStringLiteral(KDPSETUP_BINARY), app("kdpsetup"_q)));
    makeLink(QStringLiteral(SEVENZIP_PROGRAM), app("7z.exe"_q));
}

void Sandbox::useUnpacker(const QByteArray &script) const
{
    QFile::remove(app("7z.exe"_q));
    writeFile(app("7z.exe"_q), "#!/bin/sh\nSEVENZIP=" SEVENZIP_PROGRAM "\n" + script);
    QFile::setPermissions(app("7z.exe"_q), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TQKEY_HOME"_q, path("home32"_q));
    environment.insert("TQKEY_HOME_X64"_q, path("home64"_q));
    environment.insert("LC_ALL"_q, "C.UTF-8"_q);
    for (const QString &name : unset + QStringList{"QT_MESSAGE_PATTERN"_q, "QT_LOGGING_RULES"_q})
        environment.remove(name);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(path());
    const QStringList command = wrapper + QStringList{app("kdpsetup"_q)} + arguments;
    process.start(command.first(), command.mid(1));
    EXPECT_TRUE(process.waitForFinished(150000));

    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1000;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    const QByteArray opening = "all std output is  \"";
    const int start = result.err.indexOf(opening) + opening.size();
    const int end = start < opening.size() ? -1 : result.err.indexOf("\" \n\n", start);
    if (end >= 0) {
        result.unpacker = result.err.mid(start, end - start);
        result.err.replace(start, end - start, "<7z>");
    }
    return result;
}

QByteArray Sandbox::progressLog(const Fields &fields, const QString &keyDrivers) const
{
    const QByteArray temp = app("Temp/"_q).toUtf8();
    QByteArray log = "KEYhome path is \"" + keyDrivers.toUtf8() + "\" \n\nall std output is  \"<7z>\" \n\n"
                     "Temp path is \"" + temp + "\" \n\nConfig path is  \"" + temp + "config.xml\" \n\n";
    for (const auto &[tag, text] : fields)
        log += "Element name:  \"" + tag.toUtf8() + "\" \n\nText name: \"" + text.toUtf8() + "\" \n\n";
    return log;
}
