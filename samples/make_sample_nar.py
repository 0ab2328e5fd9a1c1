#!/usr/bin/env python3
"""Writes samples/NAR_data.mdb: SAMPLE local-racing data (made-up values, not
real racing data) in the program's SQLite form of the local-racing database.

Contents: track variants (every day of the 420 days before the race date, for
the dirt of 大井, 川崎, 船橋 and 浦和), average times ('ave' rows with
A_sin_kyu = 1, and decoy rows with A_sin_kyu = 0 that the program must not
read), and local races (T_Rdata) with their results (T_Useiseki) in which the
named horses ran, among made-up rivals. Deterministic for the same arguments.

Usage: make_sample_nar.py [--horses 名1,名2,...] [--race-date YYYY-MM-DD] [--out PATH]
"""

import argparse
import datetime
import os
import random

from sample_db import TRACK_INDEXES, TRACK_SCHEMA, average_time, finish, fresh_database, iso, parse_day

# The runners of the bundled sample race (samples/make_samples.sh) that have local runs.
DEFAULT_HORSES = ["サンプルホース02", "サンプルホース05", "サンプルホース09", "サンプルホース13"]
DEFAULT_RACE_DATE = "2026-11-29"
WINDOW_DAYS = 420
COURSES = {
    "大井": [1000, 1200, 1400, 1500, 1600, 1650, 1700, 1800, 2000, 2400, 2600],
    "川崎": [900, 1400, 1500, 1600, 2000, 2100],
    "船橋": [1000, 1200, 1500, 1600, 1700, 1800, 2200, 2400],
    "浦和": [800, 1300, 1400, 1500, 1600, 1900, 2000],
}
CLASSES = ["C3", "C2", "C1", "B3", "B2", "B1"]
# Made-up people and horses, like every name of the samples.
JOCKEYS = ["見本一郎", "架空次郎", "試験三郎", "例題四郎", "仮名五郎", "模擬六郎"]
TRAINERS = ["(大井)見本", "(川崎)架空", "(船橋)試験", "(浦和)模擬"]
RIVALS = ["ミホンスター", "カクウノカゼ", "テストハヤテ", "サンプルノホシ", "ダミーノツキ", "レイダイボーイ"]

RACE_SCHEMA = [
    "CREATE TABLE T_Rdata(R_code TEXT, R_date TEXT, R_zyo TEXT, R_no INTEGER, R_name TEXT, R_class TEXT, "
    "R_kyori INTEGER, R_baba INTEGER, R_zyo02 TEXT, R_tousuu INTEGER, R_siba INTEGER)",
    "CREATE TABLE T_Useiseki(R_code TEXT, U_name TEXT, U_kisyu TEXT, U_waku INTEGER, U_no INTEGER, "
    "U_ninki INTEGER, U_cyaku INTEGER, U_time REAL, U_cyakusa REAL, U_3f REAL, U_taizyu INTEGER, U_hutan REAL, "
    "U_cyoukyou TEXT, U_tuka01 INTEGER, U_tuka02 INTEGER, U_tuka03 INTEGER, U_tuka04 INTEGER)",
]
RACE_INDEXES = [
    "CREATE INDEX mk_T_Useiseki_name ON T_Useiseki(U_name)",
    "CREATE INDEX mk_T_Useiseki_code ON T_Useiseki(R_code)",
    "CREATE INDEX mk_T_Rdata_code ON T_Rdata(R_code)",
    "CREATE INDEX mk_T_Rdata_date ON T_Rdata(R_date)",
]


def waku_of(number, runners):
    """Bracket of a horse number, as Japanese racing assigns them for up to 16."""
    if runners <= 8:
        return number
    doubled = runners - 8  # the last brackets hold two horses
    single = 8 - doubled
    if number <= single:
        return number
    return single + (number - single + 1) // 2


def add_track_tables(db, rnd, race_day):
    averages = []
    for course, distances in COURSES.items():
        offset = rnd.uniform(0.5, 2.0)  # local dirt is slower than central dirt
        for distance in distances:
            time = average_time(distance, True) + offset * distance / 1600.0
            # A decoy first: a lookup that forgot A_sin_kyu = 1 would take it.
            averages.append(("ave", distance, course, 0, round(time + 3.0, 1), 0))
            averages.append(("ave", distance, course, 0, round(time, 1), 1))
    db.executemany("INSERT INTO T_avetime VALUES (?, ?, ?, ?, ?, ?)", averages)
    variants = []
    for back in range(WINDOW_DAYS + 1):
        day = race_day - datetime.timedelta(days=back)
        for course in COURSES:
            variants.append((iso(day), course, 0, round(rnd.uniform(-1.2, 1.5), 1)))
    db.executemany("INSERT INTO T_sisuu VALUES (?, ?, ?, ?)", variants)
    return dict(((a[2], a[1]), a[4]) for a in averages if a[5] == 1)


def add_runs(db, rnd, race_day, horses, averages):
    races = []
    results = []
    for h, horse in enumerate(horses):
        course = list(COURSES)[h % len(COURSES)]
        # Three to five runs spread over the 420 days, none on the race day.
        backs = sorted(rnd.sample(range(14, WINDOW_DAYS - 5, 7), rnd.randint(3, 5)))
        for r, back in enumerate(backs):
            day = race_day - datetime.timedelta(days=back)
            distance = rnd.choice(COURSES[course])
            number_of_race = rnd.randint(1, 12)
            code = "%s%02d%02d%02d" % (day.strftime("%Y%m%d"), list(COURSES).index(course) + 1, number_of_race, h)
            runners = rnd.randint(8, 14)
            races.append((code, iso(day), course, number_of_race, "%s特別" % course, rnd.choice(CLASSES),
                          distance, rnd.randint(1, 4), course, runners, 0))
            field = [horse] + rnd.sample(RIVALS, 3)
            places = rnd.sample(range(1, runners + 1), len(field))
            numbers = rnd.sample(range(1, runners + 1), len(field))
            base = averages[(course, distance)]
            for name, place, number in zip(field, places, numbers):
                time = round(base + (place - 1) * 0.3 + rnd.uniform(-0.8, 0.8), 1)
                last3f = round(rnd.uniform(37.0, 41.0), 1)
                if name == horse and r == 0:
                    last3f = None  # a run without a last-three-furlong time
                corners = [rnd.randint(1, runners) for _ in range(4)]
                if distance <= 1200:
                    corners[0] = corners[1] = 0  # short races pass two corners only
                results.append((code, name, rnd.choice(JOCKEYS), waku_of(number, runners), number,
                                rnd.randint(1, runners), place, time, 0.0 if place == 1 else round(place * 0.4, 1),
                                last3f, rnd.randint(440, 520), rnd.choice([54.0, 55.0, 56.0, 57.0]),
                                rnd.choice(TRAINERS), *corners))
    db.executemany("INSERT INTO T_Rdata VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", races)
    db.executemany("INSERT INTO T_Useiseki VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", results)
    return len(races), len(results)


def build(path, horses=None, race_date=DEFAULT_RACE_DATE, seed=20261227):
    """Writes the sample file for the given horse names and race date; returns
    (races, result rows)."""
    horses = list(horses or DEFAULT_HORSES)
    race_day = parse_day(race_date)
    rnd = random.Random("%d|%s|%s" % (seed, race_date, ",".join(horses)))
    db, temporary = fresh_database(path)
    for sql in TRACK_SCHEMA + RACE_SCHEMA:
        db.execute(sql)
    averages = add_track_tables(db, rnd, race_day)
    counts = add_runs(db, rnd, race_day, horses, averages)
    finish(db, temporary, path, TRACK_INDEXES + RACE_INDEXES)
    return counts


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Writes the sample local-racing database (made-up data).")
    parser.add_argument("--horses", default=",".join(DEFAULT_HORSES),
                        help="comma-separated horse names that get local runs")
    parser.add_argument("--race-date", default=DEFAULT_RACE_DATE, help="race date YYYY-MM-DD; runs lie before it")
    parser.add_argument("--out", default=os.path.join(here, "NAR_data.mdb"), help="file to write")
    args = parser.parse_args()
    horses = [name.strip() for name in args.horses.split(",") if name.strip()]
    try:
        parse_day(args.race_date)
    except ValueError:
        parser.error("--race-date must be YYYY-MM-DD")
    races, results = build(args.out, horses, args.race_date)
    print("%s: %d local races, %d result rows for %s (sample data)" % (args.out, races, results, ", ".join(horses)))


if __name__ == "__main__":
    main()
