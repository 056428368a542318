"""A Wine prefix of its own to run the suite's package in, as a Chinese or a
Western Windows system. Shared by the package's Wine test and tools/demo-msi.

A prefix here is never tools/wine-run's: msiexec changes the whole system
(Program Files, the registry, the Start Menu), so each run starts afresh.
"""
import os
import re
import shutil
import subprocess
import tempfile
from dataclasses import dataclass


@dataclass(frozen=True)
class System:
    locale: str             # the Unix locale Wine takes the system's from
    console_encoding: str   # how console programs (cmd, reg query) write text
    needs_locale: bool      # made by localedef into a folder of our own


# Code page 936, as on Simplified Chinese Windows.
CHINESE = System("zh_CN.UTF-8", "gbk", True)
# Code page 1252 (Wine's en-US), as on a Western Windows.
WESTERN = System("C.UTF-8", "cp437", False)

HKLM = "HKEY_LOCAL_MACHINE"


def made_locales():
    """A folder for LOCPATH holding zh_CN.UTF-8, made once per machine:
    nothing is installed system-wide, and Wine takes code page 936 from it."""
    folder = os.path.expanduser("~/.cache/signature-suite/locales")
    if not os.path.isdir(os.path.join(folder, CHINESE.locale)):
        os.makedirs(folder, exist_ok=True)
        scratch = tempfile.mkdtemp(dir=folder)
        subprocess.run(["localedef", "-i", "zh_CN", "-f", "UTF-8", os.path.join(scratch, CHINESE.locale)],
                       check=True)
        try:
            os.rename(os.path.join(scratch, CHINESE.locale), os.path.join(folder, CHINESE.locale))
        except OSError:
            pass  # made at the same time by another run
        shutil.rmtree(scratch)
    return folder


class Prefix:
    """A fresh Wine prefix in `folder` (anything there before is removed),
    with a server of its own, no display and no menu entries on the host.
    close() ends its server."""

    def __init__(self, folder, system):
        self.folder = folder
        self.system = system
        self.env = dict(os.environ, WINEPREFIX=folder, WINEARCH="win32", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
                        LANG=system.locale, LC_ALL=system.locale)
        # Nothing here may wait for a person.
        self.env.pop("DISPLAY", None)
        if system.needs_locale:
            self.env["LOCPATH"] = made_locales()
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(os.path.dirname(folder), exist_ok=True)
        booted = self.run("wineboot", "-i")
        if booted.returncode != 0 or not os.path.isdir(os.path.join(folder, "drive_c")):
            raise RuntimeError("wineboot could not make %s:\n%s" % (folder, booted.stderr.decode(errors="replace")))
        self.run("wineserver", "-p")

    def run(self, program, *arguments):
        """Runs a program to its end; its output is read from files, never
        pipes: what Wine starts on the way (services, the installer's
        server) outlives the program and would hold a pipe open."""
        with tempfile.TemporaryFile() as output, tempfile.TemporaryFile() as errors:
            result = subprocess.run([program, *arguments], env=self.env, stdin=subprocess.DEVNULL,
                                    stdout=output, stderr=errors, timeout=300)
            output.seek(0)
            errors.seek(0)
            result.stdout, result.stderr = output.read(), errors.read()
        return result

    def wine(self, *arguments):
        return self.run("wine", *arguments)

    def msiexec(self, *arguments, log):
        """msiexec, silent and logged; returns its exit code as Wine reports
        it (modulo 256). Package and log paths are Unix paths."""
        arguments = ["Z:" + a if a.endswith(".msi") else a for a in arguments]
        return self.wine("msiexec", *arguments, "/qn", "/l*v", "Z:" + log).returncode

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env)

    def unix(self, windows_path):
        """The Unix path of a path on drive C."""
        assert windows_path[:3].upper() == "C:\\"
        return os.path.join(self.folder, "drive_c", *windows_path[3:].rstrip("\\").split("\\"))

    def user_folder(self):
        users = os.path.join(self.folder, "drive_c", "users")
        return os.path.join(users, next(name for name in sorted(os.listdir(users)) if name != "Public"))

    def start_menus(self):
        """The user's and the all-users Start Menu programs folders."""
        return [os.path.join(self.user_folder(), "AppData", "Roaming", "Microsoft", "Windows",
                             "Start Menu", "Programs"),
                os.path.join(self.folder, "drive_c", "ProgramData", "Microsoft", "Windows",
                             "Start Menu", "Programs")]

    def registry(self, key):
        """{key path: {value name: value}} of `key` (HKLM\\...) and its
        subkeys, text values as text, read from reg's UTF-16 export (exact
        whatever the code page); {} when the key is missing."""
        export = os.path.join(self.folder, "export.reg")
        if self.wine("reg", "export", key, "Z:" + export, "/y").returncode != 0:
            return {}
        with open(export, encoding="utf-16") as text:
            content = text.read().replace("\\\n  ", "")
        os.remove(export)
        keys, values = {}, None
        for line in content.splitlines():
            if line.startswith("["):
                values = keys.setdefault(line[1:-1].replace(HKLM, "HKLM", 1), {})
            elif values is not None and line.startswith('"'):
                name, data = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)', line).groups()
                if data.startswith('"'):
                    data = re.sub(r"\\(.)", r"\1", data[1:-1])
                elif data.startswith("hex(2):"):
                    data = bytes.fromhex(data[7:].replace(",", "")).decode("utf-16-le").rstrip("\0")
                values[re.sub(r"\\(.)", r"\1", name)] = data
        return keys

    def values(self, key):
        """The values of `key` itself."""
        return self.registry(key).get(key, {})

    def new_process_sees(self, variable):
        """The variable as a program started now sees it."""
        output = self.wine("cmd", "/c", "echo", "%" + variable + "%").stdout
        return output.decode(self.system.console_encoding).strip()
