"""Shared pieces of the sample-data generators: the fixed SQLite schema of the
track tables and the indexes the program's lookups use."""

import datetime
import os
import sqlite3

VERSION_SCHEMA = ["CREATE TABLE version(date TEXT)"]

TRACK_SCHEMA = [
    "CREATE TABLE T_sisuu(S_date TEXT, S_zyo TEXT, S_siba INTEGER, S_sisuu REAL)",
    "CREATE TABLE T_avetime(A_class TEXT, A_kyori INTEGER, A_zyo TEXT, A_siba INTEGER, A_time REAL, "
    "A_sin_kyu INTEGER)",
]

# The indexes the program's import writes too; each covers its lookup.
TRACK_INDEXES = [
    "CREATE INDEX mk_T_sisuu_day ON T_sisuu(S_date, S_zyo, S_siba, S_sisuu)",
    "CREATE INDEX mk_T_avetime_course ON T_avetime(A_kyori, A_zyo, A_siba, A_class, A_sin_kyu, A_time)",
]


def iso(day):
    return day.strftime("%Y-%m-%d")


def parse_day(text):
    return datetime.datetime.strptime(text, "%Y-%m-%d").date()


def fresh_database(path):
    """A new, empty SQLite file at path (an old one is replaced)."""
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    temporary = path + ".part"
    if os.path.exists(temporary):
        os.remove(temporary)
    return sqlite3.connect(temporary), temporary


def finish(db, temporary, path, indexes):
    """Adds the indexes, closes the file and moves it into place."""
    for sql in indexes:
        db.execute(sql)
    db.commit()
    db.execute("ANALYZE")
    db.commit()
    db.close()
    os.replace(temporary, path)


def average_time(distance, dirt):
    """A plausible winning-class average time in seconds for a distance: about
    17 m/s at 1000 m, slowing with the distance; dirt about 4 % slower."""
    speed = 17.0 - 0.6 * (distance - 1000) / 1000.0
    time = distance / speed
    return time * 1.04 if dirt else time
