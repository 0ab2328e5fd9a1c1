#!/usr/bin/env python3
"""Writes samples/marunoki.dat: SAMPLE track data (made-up values, not real
racing data) in the program's SQLite form of the track database.

Contents: one version row, 'ave' average times (plus a few other classes, which
the program ignores) for the ten central courses "01".."10" on turf (1) and dirt
(0) at the usual distances, and a track variant for every Saturday and Sunday
from 2025-06-01 to 2026-12-31 per course and surface. Deterministic: the same
file every run.

Usage: make_sample_trackdb.py [--out PATH]
"""

import argparse
import datetime
import os
import random

from sample_db import TRACK_INDEXES, TRACK_SCHEMA, VERSION_SCHEMA, average_time, finish, fresh_database, iso

ISSUE_DATE = "2026-11-30"
FIRST_DAY = datetime.date(2025, 6, 1)
LAST_DAY = datetime.date(2026, 12, 31)
COURSES = ["%02d" % i for i in range(1, 11)]
TURF_DISTANCES = [1000, 1200, 1400, 1500, 1600, 1800, 2000, 2200, 2400, 2500, 2600, 3000, 3200, 3400, 3600]
DIRT_DISTANCES = [1000, 1150, 1200, 1300, 1400, 1600, 1700, 1800, 1900, 2000, 2100, 2400]
# Other classes' averages: slower for maiden races, faster for open class.
OTHER_CLASSES = [("未勝利", 1.2), ("1勝", 0.6), ("OP", -0.5)]


def race_days(first, last):
    day = first
    while day <= last:
        if day.weekday() >= 5:  # Saturday, Sunday
            yield day
        day += datetime.timedelta(days=1)


def build(path, seed=20261130):
    rnd = random.Random(seed)
    db, temporary = fresh_database(path)
    for sql in VERSION_SCHEMA + TRACK_SCHEMA:
        db.execute(sql)
    db.execute("INSERT INTO version VALUES (?)", (ISSUE_DATE,))

    averages = []
    for course in COURSES:
        course_offset = rnd.uniform(-0.6, 0.6)  # each course has its own speed
        for surface, distances in ((1, TURF_DISTANCES), (0, DIRT_DISTANCES)):
            for distance in distances:
                base = average_time(distance, surface == 0) + course_offset * distance / 1600.0
                averages.append(("ave", distance, course, surface, round(base, 1), 0))
                for cls, slower in OTHER_CLASSES:
                    averages.append((cls, distance, course, surface, round(base + slower * distance / 1600.0, 1), 0))
    db.executemany("INSERT INTO T_avetime VALUES (?, ?, ?, ?, ?, ?)", averages)

    variants = []
    for day in race_days(FIRST_DAY, LAST_DAY):
        for course in COURSES:
            for surface in (1, 0):
                variants.append((iso(day), course, surface, round(rnd.uniform(-1.2, 1.5), 1)))
    db.executemany("INSERT INTO T_sisuu VALUES (?, ?, ?, ?)", variants)
    finish(db, temporary, path, TRACK_INDEXES)
    return len(averages), len(variants)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Writes the sample track database (made-up data).")
    parser.add_argument("--out", default=os.path.join(here, "marunoki.dat"), help="file to write")
    args = parser.parse_args()
    averages, variants = build(args.out)
    print("%s: %d average times, %d track variants (sample data)" % (args.out, averages, variants))


if __name__ == "__main__":
    main()
