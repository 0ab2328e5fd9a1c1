"""What scripts/mutants.py plants: faults in code, never in text or template brackets."""

import importlib.util
import sys
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
loader_spec = importlib.util.spec_from_file_location("mutants", ROOT / "scripts" / "mutants.py")
mutants = importlib.util.module_from_spec(loader_spec)
loader_spec.loader.exec_module(mutants)


def planted(lines, members=None):
    """Every mutated line of the snippet, as the script would write it."""
    code = mutants.blank_text(lines)
    return {line[:c] + rep + line[c + n:] for line, masked in zip(lines, code)
            for c, n, rep, _ in mutants.line_mutants(masked, line, members)}


class LineMutants(unittest.TestCase):
    def test_plants_each_operator_and_leaves_text_alone(self):
        cases = [
            # (lines, mutated lines that must be planted, lines that must not)
            (["    if (a < b && c)"], {"    if (a <= b && c)", "    if (a > b && c)", "    if (a < b || c)",
                                        "    if (!(a < b && c))", "    if (true)", "    if (c)", "    if (a < b)"}, set()),
            (["    return n >= 10;"], {"    return n > 10;", "    return n >= 11;", "    return n >= 9;",
                                        "    return {};"}, set()),
            (["    return true;", "    x.push_back(1);", "    break;"],
             {"    return false;", "    ;", "    x.push_back(2);"}, set()),
            # Declarations are not statements to remove; template brackets, ->, <<
            # and text are not operators.
            (["    std::vector<int> v = f(p->q << 2);"], set(), {"    ;", "    std::vector>int> v = f(p->q << 2);"}),
            (['    s = QStringLiteral("a < 1");  // b == 2'], set(),
             {'    s = QStringLiteral("a < 2");  // b == 2', '    s = QStringLiteral("a < 1");  // b != 2'}),
            (["/* x == 1", "   y < 2 */", "#define K 3", "    z = 1'000;"], set(),
             {"/* x != 1", "   y < 3 */", "#define K 4", "    z = 2'000;"}),
            # Calls dropped around their argument, min for max, arguments swapped,
            # an index moved, a transaction statement emptied.
            (["    x = qBound(1, day.first, kMax) + esc(name).size();", "    t = s.trimmed();"],
             {"    x = day.first + esc(name).size();", "    x = qBound(1, day.first, kMax) + name.size();",
              "    t = s;"}, set()),
            (["    v = std::min(a, sliced(at, n));", "    total += row[i].at(k);", '    exec("COMMIT");'],
             {"    v = std::max(a, sliced(at, n));", "    v = std::min(a, sliced(n, at));", "    total += row[i + 1].at(k);",
              "    total += row[i].at(k - 1);", '    exec("");'},
             {"    v = std::min(sliced(at, n), a);", "    v = std::min(a, at, n);"}),
            # Not in declarations, initialisers, text, casts, or a statement that is a call.
            (["QString esc(const QString &text)", "    , path_(std::move(path))", "    char buf[kSize];",
              '    s = QStringLiteral("COMMIT f(x) a[i]");', "    f(x);", "    k = size_t(mark);",
              "    return failure(nullptr, error);"], set(),
             {"QString const QString &text", "    , std::move(path)", "    , path_(path)", "    char buf[kSize + 1];",
              '    s = QStringLiteral("");', "    x;", "    k = mark;", "    return failure(error, nullptr);"}),
        ]
        for lines, wanted, unwanted in cases:
            got = planted(lines)
            self.assertTrue(wanted <= got, (lines, wanted - got))
            self.assertFalse(unwanted & got, (lines, unwanted & got))

    def test_replaces_a_member_by_another_of_its_type_in_comparisons(self):
        header = ("struct Run {\n    QDate date;\n    int finish = 0;\n    QDate entered;\n    int rank {};\n"
                  "    QString name;\n    bool ok() const;\n};\nstruct Other {\n    int finish;\n    int rest;\n};\n")
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "run.h"
            path.write_text(header)
            members = mutants.record_members([path])
        # finish is in two records: which one a comparison reads is not known.
        self.assertEqual(members, {"date": ["entered"], "entered": ["date"], "rank": ["finish"], "rest": ["finish"]})
        got = planted(["    return a.date < b.date;", "    if (run.entered > limit)"], members)
        self.assertTrue({"    return a.entered < b.entered;", "    if (run.date > limit)"} <= got, got)
        self.assertNotIn("    return a.entered < b.date;", got)


if __name__ == "__main__":
    sys.exit(unittest.main())
