"""Reading a built Windows Installer database with msitools (msiinfo).
Shared by make-msi and the package's tests."""
import os
import subprocess
import sys
import tempfile


def run(*command, cwd=None):
    """Runs a command and returns its standard output; exits with its output
    when it fails."""
    result = subprocess.run(command, capture_output=True, text=True, cwd=cwd)
    if result.returncode != 0:
        sys.exit("%s failed (%d)\n%s%s" % (command[0], result.returncode,
                                           result.stdout, result.stderr))
    return result.stdout


def tables(msi):
    return run("msiinfo", "tables", msi).split()


class Table:
    """One table: its columns, their types (s72, i2, ...), its key columns and
    its rows, each a dict from column to text ("" for null)."""

    def __init__(self, msi, name):
        # A table with binary columns (Icon, Binary) is exported with its
        # streams as files into a folder named after it: a scratch one.
        with tempfile.TemporaryDirectory() as scratch:
            exported = run("msiinfo", "export", os.path.abspath(msi), name, cwd=scratch)
        lines = [line.rstrip("\r") for line in exported.split("\n")]
        self.name = name
        self.columns = lines[0].split("\t")
        self.types = dict(zip(self.columns, lines[1].split("\t")))
        self.keys = lines[2].split("\t")[1:]
        self.rows = [dict(zip(self.columns, line.split("\t"))) for line in lines[3:] if line]

    def by_key(self):
        """{first key: row}, for tables keyed by one column."""
        return {row[self.keys[0]]: row for row in self.rows}


def summary(msi):
    """The summary stream as {name: value} (Title, Subject, Author, ...)."""
    info = {}
    for line in run("msiinfo", "suminfo", msi).splitlines():
        name, _, value = line.partition(": ")
        info[name] = value
    return info


def installed_paths(msi):
    """{path below INSTALLFOLDER, with "/": (File row, feature)} for every file
    the package installs below its install folder."""
    directories = Table(msi, "Directory").by_key()
    components = Table(msi, "Component").by_key()
    features = {row["Component_"]: row["Feature_"] for row in Table(msi, "FeatureComponents").rows}

    def below_install_folder(directory):
        parts = []
        while directory != "INSTALLFOLDER":
            if not directory:
                return None
            row = directories[directory]
            parts.insert(0, row["DefaultDir"].split("|")[-1])
            directory = row["Directory_Parent"]
        return parts

    paths = {}
    for row in Table(msi, "File").rows:
        folder = below_install_folder(components[row["Component_"]]["Directory_"])
        if folder is not None:
            paths["/".join(folder + [row["FileName"].split("|")[-1]])] = (row, features.get(row["Component_"]))
    return paths
