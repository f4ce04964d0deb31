#!/usr/bin/python3
"""Finishes the .msi that wixl wrote, through msitools' own library (libmsi):
- the Start-menu shortcut gets its real name with the arrow, which wixl cannot write (it crashes
  on non-ASCII names), in a UTF-8 database;
- every build replaces the one before, though Windows Installer compares only the first three
  parts of the version and the fourth counts the builds: the upgrade includes the version itself;
- double-clicked, it shows its progress and then that it has finished (or failed, or was
  cancelled), in dialogs of its own (dialogs.py), where wixl writes none, so nothing would show;
- the summary's language and times become fixed values and its package code a hash of the
  package, where wixl writes "1033", the time of the build and a random code, so that a rebuild
  gives the same bytes and a changed package a new code.
usage: finish_msi.py MSI SHORTCUT_NAME UPGRADE_CODE LANGUAGE EPOCH"""
import hashlib
import os
import sys
import tempfile
import uuid

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

from dialogs import CREATE, ROWS  # noqa: E402

msi, shortcut_name, upgrade_code, language, epoch = sys.argv[1:6]
filetime = (int(epoch) + 11644473600) * 10_000_000  # 100 ns steps since 1601

database = Libmsi.Database.new(msi, Libmsi.DbFlags.TRANSACT, None)
with tempfile.TemporaryDirectory() as folder:
    codepage = os.path.join(folder, "_ForceCodepage.idt")
    with open(codepage, "w", encoding="ascii") as idt:
        idt.write("\r\n\r\n65001\t_ForceCodepage\r\n")
    database.import_(codepage)


def execute(sql, *values):
    """Runs one SQL statement, its ? filled with the values (texts, numbers or None)."""
    record = Libmsi.Record.new(len(values)) if values else None
    for field, value in enumerate(values, 1):
        if isinstance(value, int):
            record.set_int(field, value)
        elif value is not None:
            record.set_string(field, value)
    query = Libmsi.Query.new(database, sql)
    query.execute(record)
    query.close()


execute("UPDATE `Shortcut` SET `Name` = ? WHERE `Shortcut` = 'StartMenu'", shortcut_name)
query = Libmsi.Query.new(database, "SELECT `Value` FROM `Property` WHERE `Property` = 'ProductVersion'")
query.execute(None)
version = query.fetch().get_string(1)
query.close()
# Attributes is part of the Upgrade table's key, so the row is written anew.
MIGRATE_FEATURES, VERSION_MAX_INCLUSIVE = 1, 0x200
execute("DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'")
execute("INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) "
        "VALUES (?, ?, ?, 'WIX_UPGRADE_DETECTED')", "{%s}" % upgrade_code.upper(), version,
        MIGRATE_FEATURES | VERSION_MAX_INCLUSIVE)
for table, columns in CREATE.items():
    execute(f"CREATE TABLE `{table}` ({columns})")
for table, names, rows in ROWS:
    if not names:  # the columns of a table made above
        names = [column.split("`")[1] for column in CREATE[table].split(" PRIMARY KEY")[0].split(", ")]
    into = f"`{table}` ({', '.join(f'`{name}`' for name in names)})"
    for row in rows:
        execute(f"INSERT INTO {into} VALUES ({', '.join('?' * len(row))})", *row)


database.commit()


def write_summary(package_code):
    # Opened anew each time: libmsi cannot commit twice after making tables.
    database = Libmsi.Database.new(msi, Libmsi.DbFlags.TRANSACT, None)
    summary = Libmsi.SummaryInfo.new(database, 10)
    summary.set_string(Libmsi.Property.UUID, "{%s}" % str(package_code).upper())
    summary.set_string(Libmsi.Property.TEMPLATE, "x64;" + language)
    for moment in (Libmsi.Property.CREATED_TM, Libmsi.Property.LASTSAVED_TM):
        summary.set_filetime(moment, filetime)
    summary.persist()
    database.commit()


write_summary(uuid.UUID(int=0))
with open(msi, "rb") as package:
    digest = hashlib.sha256(package.read()).hexdigest()
write_summary(uuid.uuid5(uuid.UUID(upgrade_code), digest))
