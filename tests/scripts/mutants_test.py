"""What scripts/mutants.py plants: faults in code, never in text or template brackets."""

import importlib.util
import sys
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
loader_spec = importlib.util.spec_from_file_location("mutants", ROOT / "scripts" / "mutants.py")
mutants = importlib.util.module_from_spec(loader_spec)
loader_spec.loader.exec_module(mutants)


def planted(lines):
    """Every mutated line of the snippet, as the script would write it."""
    code = mutants.blank_text(lines)
    return {line[:c] + rep + line[c + n:] for line, masked in zip(lines, code)
            for c, n, rep, _ in mutants.line_mutants(masked, line)}


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
        ]
        for lines, wanted, unwanted in cases:
            got = planted(lines)
            self.assertTrue(wanted <= got, (lines, wanted - got))
            self.assertFalse(unwanted & got, (lines, unwanted & got))


if __name__ == "__main__":
    sys.exit(unittest.main())
