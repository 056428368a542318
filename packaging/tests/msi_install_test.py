#!/usr/bin/env python3
"""The package under Wine's msiexec, silent and logged, as an administrator
deploys it: install, a key driver, upgrade, refused downgrade, repair,
uninstall and a second uninstall on a Chinese system; on a Western one the
administrator's properties (no SDK, a key home of their own), kept across an
upgrade. After every step the whole state is checked: files, shortcut,
environment, registry and the Add/Remove Programs entry, or, once
uninstalled, that nothing of the suite is left but a key home holding drivers.

Each system is a fresh Wine prefix of its own below WORK, with no display
(nothing may wait for a person).

    msi_install_test.py WORK LAYOUT DRIVER_PACKAGE OLD.msi NEW.msi REBUILT.msi

NEW is a newer version than OLD; REBUILT is NEW made again (another
product code, the same version).
"""
import os
import shutil
import stat
import sys
from dataclasses import dataclass
from typing import Callable, Optional

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.dirname(HERE)]
from msitables import Table  # noqa: E402
from winemsi import CHINESE, WESTERN, Prefix  # noqa: E402
from msi_tables_test import shipped_files  # noqa: E402

PRODUCT = "夸沃科技签名套件"
MAKER = "夸沃科技"
INSTALL_FOLDER = "C:\\Program Files\\夸沃科技\\签名套件\\"
DEFAULT_KEYHOME = INSTALL_FOLDER + "KeyHome\\"
SHORTCUT = "签名示例.lnk"
SUITE_KEY = "HKLM\\Software\\夸沃科技\\签名套件"
ENVIRONMENT_KEY = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager\\Environment"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
CMAKE_PACKAGE_KEY = "HKLM\\Software\\Kitware\\CMake\\Packages\\Penwick"
# Windows Installer's exit codes; Wine's msiexec reports them modulo 256.
SUCCESS, INSTALL_FAILURE, UNKNOWN_PRODUCT = 0, 1603, 1605

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("    FAILED: " + message)


# --- what the suite must look like -------------------------------------------------------

@dataclass
class State:
    package: Optional[str]          # the package installed ("OLD", ...), None: none
    sdk: bool = True
    keyhome: str = DEFAULT_KEYHOME
    drivers: bool = False           # the key home holds a driver kdpsetup installed


def expected_registry(state, package):
    """{key: {value name: value, None where there must be none}}."""
    installed = state.package is not None
    keyhome64 = state.keyhome + "x64\\"
    sdk_package = INSTALL_FOLDER + "lib\\cmake\\Penwick\\" if installed and state.sdk else None
    return {
        ENVIRONMENT_KEY: {"TQKEY_HOME": state.keyhome, "TQKEY_HOME_X64": keyhome64},
        SUITE_KEY: {"InstallFolder": INSTALL_FOLDER, "KeyHome": state.keyhome,
                    "KeyHomeX64": keyhome64, "Version": package.version},
        UNINSTALL_KEY + "\\" + package.code: {"DisplayName": PRODUCT, "DisplayVersion": package.version,
                                              "Publisher": MAKER, "InstallLocation": INSTALL_FOLDER},
        CMAKE_PACKAGE_KEY: {PRODUCT: sdk_package},
    } if installed else {
        ENVIRONMENT_KEY: {"TQKEY_HOME": None, "TQKEY_HOME_X64": None},
        SUITE_KEY: {"InstallFolder": None},
        CMAKE_PACKAGE_KEY: {PRODUCT: None},
    }


def check_registry(prefix, state, package):
    for key, wanted in expected_registry(state, package).items():
        values = prefix.values(key)
        for name, value in wanted.items():
            check(values.get(name) == value, "%s\\%s is %r, not %r" % (key, name, values.get(name), value))
    entries = [values for values in prefix.registry(UNINSTALL_KEY).values() if values.get("DisplayName") == PRODUCT]
    check(len(entries) == (state.package is not None), "Add/Remove Programs entries: %d" % len(entries))


def files_below(folder):
    return {os.path.relpath(os.path.join(base, name), folder)
            for base, _, names in os.walk(folder) for name in names}


def check_installed(prefix, layout, state, package):
    install_folder = prefix.unix(INSTALL_FOLDER)
    expected = {path: source for path, source in shipped_files(layout).items()
                if state.sdk or path.startswith("bin/")}
    present = {path for path in files_below(install_folder) if not path.startswith("KeyHome/")}
    check(present == set(expected), "installed but not shipped: %s; shipped but not installed: %s"
          % (sorted(present - set(expected)), sorted(set(expected) - present)))
    for path in present & set(expected):
        check(os.path.getsize(os.path.join(install_folder, path)) == os.path.getsize(expected[path]),
              "not installed as built: " + path)

    shortcuts = [os.path.join(menu, MAKER, SHORTCUT) for menu in prefix.start_menus()
                 if os.path.isfile(os.path.join(menu, MAKER, SHORTCUT))]
    check(len(shortcuts) == 1, "shortcuts %s\\%s: %d" % (MAKER, SHORTCUT, len(shortcuts)))
    icon = "C:\\windows\\Installer\\%s\\signhost.ico" % package.code
    check(os.path.isfile(prefix.unix(icon)), "the shortcut's icon is not in place")
    for text in ("signhost.exe", INSTALL_FOLDER + "bin", icon):
        check(all(text.encode("utf-16-le") in open(link, "rb").read() for link in shortcuts),
              "the shortcut does not hold " + text)

    check_registry(prefix, state, package)
    for variable, folder in expected_registry(state, package)[ENVIRONMENT_KEY].items():
        check(prefix.new_process_sees(variable) == folder, "a new process does not see %s=%s" % (variable, folder))
        check(os.path.isdir(prefix.unix(folder)), "no key home " + folder)


def check_uninstalled(prefix, state, package):
    """Nothing left, but a key home holding drivers (and the folders it is in)."""
    maker_folder = prefix.unix("C:\\Program Files\\" + MAKER)
    drivers = os.path.relpath(prefix.unix(state.keyhome), maker_folder) + "/keydrivers/"
    left = files_below(maker_folder)
    check(all(path.startswith(drivers) for path in left), "left in Program Files: %s" % sorted(left))
    check(bool(left) == state.drivers, "the key home with its drivers is %s" % ("gone" if state.drivers else "kept"))
    check(state.drivers or not (os.path.exists(maker_folder) or os.path.exists(prefix.unix(state.keyhome))),
          "empty folders left")
    for menu in prefix.start_menus():
        for name in (MAKER, "Quorvale"):
            check(not os.path.exists(os.path.join(menu, name)), "left in the Start Menu: " + name)
    check_registry(prefix, state, package)


# --- the steps ------------------------------------------------------------------------

@dataclass
class Step:
    title: str
    msiexec: list                   # arguments; "OLD", "NEW", "REBUILT" stand for the packages,
                                    # "NEW.code" for its product code
    code: int                       # the exit code Windows Installer gives
    state: State
    before: Optional[Callable] = None
    after: Optional[Callable] = None


def install_driver(prefix, context):
    """kdpsetup.exe, started as an administrator would: it finds the key home
    through TQKEY_HOME, which only the install set."""
    result = prefix.wine(INSTALL_FOLDER + "bin\\kdpsetup.exe", "-s", "Z:" + context["driver_package"])
    check(result.returncode == 0, "kdpsetup.exe ended with %d" % result.returncode)
    registry = os.path.join(prefix.unix(DEFAULT_KEYHOME), "keydrivers", "config.xml")
    check(os.path.isfile(registry), "kdpsetup.exe installed no driver into the key home")


def break_runtime(prefix, context):
    os.remove(os.path.join(prefix.unix(INSTALL_FOLDER), "bin", "penwick.dll"))


STUCK = "Quorvale"


def seed_start_menu_leftovers(prefix, context):
    """What earlier versions or people left: a folder Sweepon removes, and one
    it cannot (a read-only file), whose warning must go to its log."""
    user_menu, all_users_menu = prefix.start_menus()
    os.makedirs(os.path.join(user_menu, STUCK), exist_ok=True)
    open(os.path.join(user_menu, STUCK, "旧版签名.lnk"), "w").write("shortcut")
    locked = os.path.join(all_users_menu, STUCK, ".data", "locked.lnk")
    os.makedirs(os.path.dirname(locked), exist_ok=True)
    open(locked, "w").write("shortcut")
    os.chmod(locked, stat.S_IRUSR)
    context["sweepon_log"] = os.path.join(prefix.user_folder(), "Temp", "sweepon.log")


def check_sweepon_log(prefix, context):
    _, all_users_menu = prefix.start_menus()
    stuck = os.path.join(all_users_menu, STUCK)
    try:
        with open(context["sweepon_log"], encoding="utf-8-sig", newline="") as text:
            log = text.read()
    except OSError:
        log = ""
    check(log.count("删除目录失败！") == 2 and "\\Quorvale\\.data\r\n" in log,
          "sweepon's log does not hold its two warnings: %r" % log)
    os.chmod(os.path.join(stuck, ".data", "locked.lnk"), stat.S_IRUSR | stat.S_IWUSR)
    shutil.rmtree(stuck)


CHINESE_STEPS = [
    Step("install 1.0", ["/i", "OLD"], SUCCESS, State("OLD")),
    Step("uninstall leaves nothing", ["/x", "OLD"], SUCCESS, State(None)),
    Step("install 1.0 again", ["/i", "OLD"], SUCCESS, State("OLD")),
    Step("kdpsetup.exe installs a key driver", [], SUCCESS, State("OLD", drivers=True),
         before=install_driver),
    Step("upgrade to 1.1 in one step", ["/i", "NEW"], SUCCESS, State("NEW", drivers=True)),
    Step("downgrade to 1.0 refused", ["/i", "OLD"], INSTALL_FAILURE, State("NEW", drivers=True)),
    Step("the same package again repairs", ["/i", "NEW"], SUCCESS, State("NEW", drivers=True),
         before=break_runtime),
    Step("uninstall, Sweepon logging what it cannot remove", ["/x", "NEW"], SUCCESS,
         State(None, drivers=True), before=seed_start_menu_leftovers, after=check_sweepon_log),
    Step("second uninstall", ["/x", "NEW.code"], UNKNOWN_PRODUCT, State(None, drivers=True)),
]
WESTERN_STEPS = [
    Step("install 1.0 without the SDK, into a key home of its own",
         ["/i", "OLD", "ADDLOCAL=Runtime", "KEYHOME=C:\\Keys\\"], SUCCESS,
         State("OLD", sdk=False, keyhome="C:\\Keys\\")),
    # ADDLOCAL again: Wine's msiexec lacks MigrateFeatureStates, which keeps
    # the features of the installed version on Windows.
    Step("upgrade to 1.1 keeps the key home", ["/i", "NEW", "ADDLOCAL=Runtime"], SUCCESS,
         State("NEW", sdk=False, keyhome="C:\\Keys\\")),
    Step("a rebuilt 1.1 replaces the installed one", ["/i", "REBUILT", "ADDLOCAL=ALL"], SUCCESS,
         State("REBUILT", keyhome="C:\\Keys\\")),
    Step("uninstall removes the empty key home", ["/x", "REBUILT"], SUCCESS,
         State(None, keyhome="C:\\Keys\\")),
]


@dataclass
class Package:
    path: str
    code: str
    version: str


def run_system(name, prefix, steps, context):
    print("%s (Wine prefix %s)" % (name, prefix.folder))
    packages = context["packages"]
    arguments = {name: package.path for name, package in packages.items()}
    arguments.update({name + ".code": package.code for name, package in packages.items()})
    for number, step in enumerate(steps, 1):
        print("  %d. %s" % (number, step.title))
        if step.before:
            step.before(prefix, context)
        if step.msiexec:
            log = os.path.join(os.path.dirname(prefix.folder), "%d.log" % number)
            code = prefix.msiexec(*[arguments.get(a, a) for a in step.msiexec], log=log)
            check(code == step.code % 256, "msiexec %s ended with %d, not %d (%d): see %s"
                  % (" ".join(step.msiexec), code, step.code % 256, step.code, log))
        if step.after:
            step.after(prefix, context)
        if step.state.package:
            check_installed(prefix, context["layout"], step.state, packages[step.state.package])
        else:
            check_uninstalled(prefix, step.state, packages["NEW"])


def main():
    work, layout, driver_package, *msis = (os.path.abspath(a) for a in sys.argv[1:])
    packages = {}
    for name, msi in zip(("OLD", "NEW", "REBUILT"), msis):
        properties = Table(msi, "Property").by_key()
        packages[name] = Package(msi, properties["ProductCode"]["Value"], properties["ProductVersion"]["Value"])
    context = {"layout": layout, "packages": packages, "driver_package": driver_package}
    for name, system, steps in (("chinese", CHINESE, CHINESE_STEPS), ("western", WESTERN, WESTERN_STEPS)):
        prefix = Prefix(os.path.join(work, name, "wineprefix"), system)
        try:
            run_system(name, prefix, steps, context)
        finally:
            prefix.close()
    if failures:
        sys.exit("%d checks failed" % len(failures))
    print("the package installs, upgrades, repairs and uninstalls as it should")


if __name__ == "__main__":
    main()
