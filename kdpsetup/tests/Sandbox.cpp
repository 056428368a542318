#include "Sandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

Sandbox::Sandbox()
{
    QDir().mkpath(app());
    EXPECT_TRUE(QFile::copy(QStringLiteral(KDPSETUP_BINARY), app(QStringLiteral("kdpsetup"))));
    makeLink(QStringLiteral(SEVENZIP_PROGRAM), app(QStringLiteral("7z.exe")));
    QDir().mkpath(path(QStringLiteral("home32")));
    QDir().mkpath(path(QStringLiteral("home64")));
}

QString Sandbox::app(const QString &relative) const
{
    return path(QStringLiteral("app")) + (relative.isEmpty() ? QString() : QLatin1Char('/') + relative);
}

void Sandbox::useUnpacker(const QByteArray &script)
{
    const QString unpacker = app(QStringLiteral("7z.exe"));
    QFile::remove(unpacker);
    writeFile(unpacker, "#!/bin/sh\nSEVENZIP=" SEVENZIP_PROGRAM "\n" + script);
    QFile::setPermissions(unpacker, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString Sandbox::package(const QString &name, const QMap<QString, QByteArray> &files) const
{
    const QString source = path(QStringLiteral("source-") + name);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        writeFile(source + QLatin1Char('/') + it.key(), it.value());
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(source);
    sevenZip.start(QStringLiteral(SEVENZIP_PROGRAM),
                   {QStringLiteral("a"), QStringLiteral("-bso0"), QStringLiteral("-bsp0"),
                    path(name), QStringLiteral(".")});
    EXPECT_TRUE(sevenZip.waitForFinished(60000) && sevenZip.exitCode() == 0) << name.toStdString();
    return path(name);
}

QString Sandbox::package(const QString &name, const QByteArray &description) const
{
    return package(name, {{QStringLiteral("config.xml"), description},
                          {QStringLiteral("driver.dll"), "MZ driver " + name.toUtf8()}});
}

Sandbox::Run Sandbox::run(const QStringList &arguments, const QStringList &unset,
                          const QStringList &wrapper, const QString &workingFolder) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TQKEY_HOME"), path(QStringLiteral("home32")));
    environment.insert(QStringLiteral("TQKEY_HOME_X64"), path(QStringLiteral("home64")));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (const QString &name : unset + QStringList{QStringLiteral("QT_MESSAGE_PATTERN")})
        environment.remove(name);

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder.isEmpty() ? path() : workingFolder);
    const QStringList command = wrapper + QStringList{app(QStringLiteral("kdpsetup"))} + arguments;
    process.start(command.first(), command.mid(1));
    EXPECT_TRUE(process.waitForFinished(150000));

    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1000;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    const QByteArray opening = "all std output is  \"";
    const int begin = result.err.indexOf(opening);
    const int end = begin < 0 ? -1 : result.err.indexOf("\" \n\n", begin + opening.size());
    if (end >= 0) {
        const int start = begin + opening.size();
        result.unpacker = result.err.mid(start, end - start);
        result.err.replace(start, end - start, "<7z>");
    }
    return result;
}

QByteArray Sandbox::progressLog(const Fields &fields, const QString &keyDrivers) const
{
    const QByteArray temp = app(QStringLiteral("Temp/")).toUtf8();
    QByteArray log = "KEYhome path is \"" + keyDrivers.toUtf8() + "\" \n\n"
                     "all std output is  \"<7z>\" \n\n"
                     "Temp path is \"" + temp + "\" \n\n"
                     "Config path is  \"" + temp + "config.xml\" \n\n";
    for (const auto &field : fields) {
        log += "Element name:  \"" + field.first.toUtf8() + "\" \n\n";
        log += "Text name: \"" + field.second.toUtf8() + "\" \n\n";
    }
    return log;
}

Fields driverFields(const char *drivername, const char *modelid, const char *cpubits)
{
    return {{QStringLiteral("drivername"), QString::fromUtf8(drivername)},
            {QStringLiteral("modelid"), QString::fromUtf8(modelid)},
            {QStringLiteral("cpubits"), QString::fromUtf8(cpubits)}};
}
