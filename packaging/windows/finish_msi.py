#!/usr/bin/python3
"""Finishes the .msi that wixl wrote, through msitools' own library (libmsi):
- the Start-menu shortcut gets its real name with the arrow, which wixl cannot write (it crashes
  on non-ASCII names), in a UTF-8 database;
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

msi, shortcut_name, upgrade_code, language, epoch = sys.argv[1:6]
filetime = (int(epoch) + 11644473600) * 10_000_000  # 100 ns steps since 1601

database = Libmsi.Database.new(msi, Libmsi.DbFlags.TRANSACT, None)
with tempfile.TemporaryDirectory() as folder:
    codepage = os.path.join(folder, "_ForceCodepage.idt")
    with open(codepage, "w", encoding="ascii") as idt:
        idt.write("\r\n\r\n65001\t_ForceCodepage\r\n")
    database.import_(codepage)
query = Libmsi.Query.new(database, "UPDATE `Shortcut` SET `Name` = ? WHERE `Shortcut` = 'StartMenu'")
record = Libmsi.Record.new(1)
record.set_string(1, shortcut_name)
query.execute(record)
query.close()



def write_summary(package_code):
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
