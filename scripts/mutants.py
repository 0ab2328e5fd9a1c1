#!/usr/bin/env python3
"""Mutation check: do the tests notice a planted one-line fault?

Plants one fault at a time into the C++ files named (or the .cpp files of the
folders named), rebuilds only the test programs that link the library holding
the file, runs them, and restores the file. A mutant is killed when a test
program fails, crashes or runs past its time limit; it survives when every test
program that links its library passes. A mutant that does not compile is not
counted and the next one of the sample takes its place.

    python3 scripts/mutants.py --sample 150 --seed 21 src/app src/web
    python3 scripts/mutants.py --list src/web/page_cache.cpp
    python3 scripts/mutants.py --id 3f2a9c1b --id 0c4d5e6f src/web
    python3 scripts/mutants.py --ids-from earlier-run.txt src/app src/web

Prints one line per mutant, the survivors (file:line and the change) and
`killed K of N (P%)`. A survivor listed in scripts/mutants-equivalent.txt (its
id, where it is, and why no test can notice it: the same behaviour for every
input, or code no input reaches) is shown with that reason, and a last line
gives the share killed of the mutants not listed there. A listed mutant that a
test kills is said to be wrongly listed and counts as killed. Exit status 0 when the run finished, 1 when the
tests fail without a mutant, 2 on a usage error or a dirty tree, 130 when
stopped by a signal.

NOTES ON THE DESIGN
- The tree is never left mutated: the original bytes are kept in memory and in
  a journal in the build folder; a signal (Ctrl-C, SIGTERM, SIGHUP) raises into
  the main loop and the `finally` that restores the file runs with signals
  blocked. A run killed outright (SIGKILL, power loss) leaves the journal; the
  next run restores the file from it when the file still holds the mutant.
- Which test programs to rebuild comes from the build itself: the source file's
  object and target from compile_commands.json, the link graph from
  `cmake --graphviz`; a test program is an executable linking gtest_main. They
  run narrowest first (fewest libraries linked) and stop at the first kill.
- The build folder is its own (build-mutants unless given), so a developer's
  build is untouched; builds and tests run under `nice -n 19` with -j2. It is
  built with the standard library's assertions, so a mutant that breaks a
  precondition (an empty optional read, an index past the end) is caught.
- Mutants are found line by line in code with comments, strings and character
  literals blanked out, so nothing is planted in text (but for a transaction's
  BEGIN, COMMIT or ROLLBACK, whose text is emptied: the call runs and does
  nothing). Binary operators are recognised by the spaces clang-format puts
  around them, which keeps template brackets, `->` and `<<` out. Calls are not
  dropped or swapped in declarations, constructor initialisers or casts.
- A mutant whose object file holds the same code as the unmutated one (the two
  compared with their debug information stripped, which is where line and column
  live) cannot be noticed by any test: the compiler has shown it equivalent. It
  is not counted, like one that does not compile, and the next of the sample
  takes its place.
"""

import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
STOP_SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


class Stopped(Exception):
    """A signal arrived; the main loop unwinds and restores the file."""

    def __init__(self, signum):
        super().__init__(signal.Signals(signum).name)
        self.signum = signum


def on_signal(signum, _frame):
    raise Stopped(signum)


# --- Finding mutants --------------------------------------------------------------


def blank_text(lines):
    """The lines with comments, string and character literals and preprocessor
    lines replaced by spaces, positions kept."""
    out = []
    in_block = False
    raw_end = None  # the closing sequence of a raw string running over lines
    continued = False
    for line in lines:
        chars = list(line)
        if not in_block and raw_end is None and (line.lstrip().startswith("#") or continued):
            continued = line.rstrip().endswith("\\")
            out.append(" " * len(line))
            continue
        i = 0
        n = len(chars)
        while i < n:
            if raw_end is not None:
                j = line.find(raw_end, i)
                stop = n if j < 0 else j + len(raw_end)
                for k in range(i, stop):
                    chars[k] = " "
                if j >= 0:
                    raw_end = None
                i = stop
                continue
            if in_block:
                j = line.find("*/", i)
                stop = n if j < 0 else j + 2
                for k in range(i, stop):
                    chars[k] = " "
                if j >= 0:
                    in_block = False
                i = stop
                continue
            c = line[i]
            if line.startswith("//", i):
                for k in range(i, n):
                    chars[k] = " "
                break
            if line.startswith("/*", i):
                in_block = True
                continue
            raw = re.match(r'(?:u8|u|U|L)?R"([^(\s]*)\(', line[i:])
            if raw and (i == 0 or not (line[i - 1].isalnum() or line[i - 1] == "_")):
                raw_end = ")" + raw.group(1) + '"'
                for k in range(i, i + raw.end()):
                    chars[k] = " "
                i += raw.end()
                continue
            if c in "\"'":
                # A digit separator (1'000) is not a character literal.
                if c == "'" and i > 0 and line[i - 1].isalnum() and i + 1 < n and line[i + 1].isalnum():
                    i += 1
                    continue
                j = i + 1
                while j < n and line[j] != c:
                    j += 2 if line[j] == "\\" else 1
                stop = min(j + 1, n)
                for k in range(i, stop):
                    chars[k] = " "
                # Keep the quotes so that "a literal was here" stays visible.
                chars[i] = c
                if j < n:
                    chars[j] = c
                i = stop
                continue
            i += 1
        out.append("".join(chars))
    return out


def balanced_close(code, start):
    """Index of the parenthesis closing the one at `start`, or -1 on this line."""
    depth = 0
    for i in range(start, len(code)):
        if code[i] == "(":
            depth += 1
        elif code[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def top_level_operands(code, lo, hi):
    """Spans of the operands of the top-level && / || chain in code[lo:hi]."""
    spans = []
    depth = 0
    begin = lo
    i = lo
    while i < hi:
        c = code[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif depth == 0 and code.startswith((" && ", " || "), i):
            spans.append((begin, i))
            begin = i + 4
            i += 4
            continue
        elif depth == 0 and c == "?":
            return []  # a conditional expression: operands are not a plain chain
        i += 1
    spans.append((begin, hi))
    return spans if len(spans) > 1 else []


RELATIONAL_SWAP = {"<": ">", ">": "<", "<=": ">=", ">=": "<=", "==": "!=", "!=": "=="}
BOUNDARY_SHIFT = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d+|\d+)([fFuUlL]*)(?![\w.'])")
KEYWORD_STATEMENTS = {"return", "break", "continue", "goto", "case", "default", "using", "typedef",
                      "namespace", "delete", "throw", "co_return", "else", "do", "static_assert"}
EXPRESSION_STATEMENT = re.compile(
    r"^(?:\+\+|--|\*)?[A-Za-z_]\w*(?:(?:::|\.|->)~?[A-Za-z_]\w*)*"
    r"(?:\[[^\]]*\])*\s*(?:\(|=[^=]|[-+*/%|&^]=|<<=|>>=|\+\+|--)")


def line_mutants(code, line, members=None):
    """(column, length, replacement, operator) for every mutant of one line;
    `members` maps a record's member to others of its type (record_members)."""
    found = []
    stripped = code.strip()
    if not stripped:
        return found
    for m in re.finditer(r"(?<= )(==|!=|<=|>=|<|>)(?= )", code):
        op = m.group(1)
        found.append((m.start(), len(op), RELATIONAL_SWAP[op], "relational swap"))
        if op in BOUNDARY_SHIFT:
            found.append((m.start(), len(op), BOUNDARY_SHIFT[op], "boundary shift"))
    for m in re.finditer(r"(?<= )(&&|\|\|)(?= )", code):
        found.append((m.start(), 2, "||" if m.group(1) == "&&" else "&&", "&&/|| swap"))
    for m in re.finditer(r"\b(if|while) \(", code):
        open_at = m.end() - 1
        close = balanced_close(code, open_at)
        if close < 0:
            continue
        cond = line[open_at + 1:close]
        found.append((open_at + 1, close - open_at - 1, "!(" + cond + ")", "condition negated"))
        if m.group(1) == "if":
            found.append((open_at + 1, close - open_at - 1, "true", "condition dropped"))
        for lo, hi in top_level_operands(code, open_at + 1, close):
            # Drop one operand together with the operator that joins it.
            if lo == open_at + 1:
                found.append((lo, next_operand_start(code, hi) - lo, "", "condition dropped"))
            else:
                found.append((lo - 4, hi - lo + 4, "", "condition dropped"))
    for m in NUMBER.finditer(code):
        text = m.group(1)
        if "." in text:
            value = float(text)
            digits = len(text.split(".")[1])
            options = [f"{value + 1:.{digits}f}", f"{value - 1:.{digits}f}"]
        else:
            value = int(text)
            options = [str(value + 1), str(value - 1)]
        for rep in options:
            found.append((m.start(1), len(text), rep, "constant ±1"))
    first_word = re.match(r"\w+", stripped)
    if stripped.endswith(";") and balanced(stripped):
        if stripped.startswith("return ") and stripped != "return;":
            value = stripped[len("return "):-1].strip()
            at = line.index("return ") + len("return ")
            original = line[at:line.rindex(";")]
            if value == "true" or value == "false":
                found.append((at, len(original), "false" if value == "true" else "true", "return replaced"))
            elif value not in ("{}", "std::nullopt", "nullptr", "*this"):
                found.append((at, len(original), "{}", "return replaced"))
        elif stripped in ("break;", "continue;") or (
                EXPRESSION_STATEMENT.match(stripped)
                and not (first_word and first_word.group(0) in KEYWORD_STATEMENTS)):
            at = line.index(line.strip())
            found.append((at, len(line.strip()), ";", "statement removed"))
    found.extend(call_mutants(code, line))
    found.extend(subscript_mutants(code, line))
    found.extend(transaction_mutants(code, line))
    if members:
        found.extend(member_mutants(code, line, members))
    return found


def next_operand_start(code, hi):
    return hi + 4 if code.startswith((" && ", " || "), hi) else hi


def balanced(text):
    return text.count("(") == text.count(")") and text.count("{") == text.count("}")


# --- Operators on calls, subscripts, transactions and records ---------------------------

NOT_CALLS = {"if", "while", "for", "switch", "return", "sizeof", "alignof", "decltype", "catch",
             "static_assert", "noexcept", "alignas", "typeid", "defined", "static_cast", "const_cast",
             "reinterpret_cast", "dynamic_cast", "co_await", "co_yield", "co_return", "requires", "throw",
             "new", "delete", "operator", "explicit", "case", "Q_ASSERT", "Q_UNUSED", "Q_EMIT", "emit"}
# Wrappers whose removal changes nothing a test could see (a move becomes a copy)
# or that only mark text for translation.
KEPT_WRAPPERS = {"std::move", "std::forward", "std::as_const", "qAsConst", "std::addressof", "tr",
                 "QT_TR_NOOP", "QStringLiteral", "QByteArrayLiteral", "QLatin1String", "QLatin1StringView",
                 "QLatin1Char", "QChar", "QString", "QByteArray", "QStringView", "std::string", "std::size",
                 "std::make_unique", "std::make_shared", "std::make_pair", "std::tie", "std::ref", "std::cref"}
COMMUTATIVE = {"std::min", "std::max", "qMin", "qMax", "qFuzzyCompare", "std::hypot", "std::gcd", "std::lcm",
               "min", "max", "qHash", "std::swap", "swap"}
MIN_MAX = {"std::min": "std::max", "std::max": "std::min", "qMin": "qMax", "qMax": "qMin"}
# Calls that give back their own argument's kind, so dropping them keeps the
# code compiling: (name, which argument is kept).
RANGE_CALLS = {"qBound": 1, "std::clamp": 0}
# Methods that return a changed copy of their object.
SAME_KIND_METHODS = ("trimmed", "simplified", "toLower", "toUpper", "toCaseFolded", "toHtmlEscaped")
CALL = re.compile(r"(?<![\w.:>~])((?:[A-Za-z_]\w*::)*[A-Za-z_]\w*)\(")
MEMBER_CALL = re.compile(r"(?:\.|->)([A-Za-z_]\w*)\(")
BUILTIN_TYPE = re.compile(r"(?:std::)?(?:u?int\d*_t|size_t|ssize_t|ptrdiff_t|qu?int\d*|qsizetype|qreal|int|unsigned|"
                          r"double|float|char|long|short|bool|uchar|ushort|uint|ulong)")
LEADING_WORDS = {"return", "co_return", "case", "else", "co_await", "throw", "and", "or", "not"}
# A parameter in a declaration: a type, then a name (`const QString &text`, `int n = 0`).
PARAMETER = re.compile(r"(?:const\s+)?[\w:]+(?:<[^()]*>)?(?:\s+|\s*[&*]+\s*)(?:const\s+)?\w+(?:\s*=.*)?")
LITERAL = re.compile(r"(?:(?:u8|u|U|L)?\"[^\"]*\"|(?:u8|u|U|L)?'[^']*'|[\d.]+[fFuUlL]*|true|false|nullptr|\{\})(?:_\w+)?")
TRANSACTION = re.compile(r"\s*(?:BEGIN(?: DEFERRED| IMMEDIATE| EXCLUSIVE)?|COMMIT|ROLLBACK)(?: TRANSACTION)?"
                         r"(?: TO (?:SAVEPOINT )?\w+)?;?\s*")


def call_arguments(code, open_at, close):
    """Spans of the top-level arguments between the parentheses at open_at and close."""
    spans, depth, begin = [], 0, open_at + 1
    for i in range(open_at + 1, close):
        c = code[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif c == "," and depth == 0:
            spans.append((begin, i))
            begin = i + 1
    spans.append((begin, close))
    result = []
    for lo, hi in spans:
        while lo < hi and code[lo] == " ":
            lo += 1
        while hi > lo and code[hi - 1] == " ":
            hi -= 1
        result.append((lo, hi))
    return [] if result == [(close, close)] else result


def declares(code, at):
    """Whether the call at `at` is a declaration: a type word stands before its name
    (`int n(3)`, `QString esc(…)`), or it opens a constructor's initialiser."""
    before = code[:at].rstrip()
    if not before:
        return False
    if before.strip() == "," or before.endswith(":") and not before.endswith("::"):
        return True
    word = re.search(r"(\w+)[>&*]*$", before)
    if not word or re.search(r"\s[&*>]+$", before):
        return False  # an operator: `a > f(x)`, `a && f(x)`
    return word.group(1) not in LEADING_WORDS


def call_mutants(code, line):
    """A call dropped around its argument, min for max, and two arguments swapped."""
    found = []
    for m in CALL.finditer(code):
        name = m.group(1)
        last = name.rsplit("::", 1)[-1]
        if last in NOT_CALLS or name in NOT_CALLS or BUILTIN_TYPE.fullmatch(name) or declares(code, m.start()):
            continue
        open_at = m.end() - 1
        close = balanced_close(code, open_at)
        if close < 0:
            continue
        args = call_arguments(code, open_at, close)
        if any(PARAMETER.fullmatch(line[lo:hi]) for lo, hi in args):
            continue
        texts = [line[lo:hi] for lo, hi in args]
        whole = (m.start(), close + 1 - m.start())
        if name in MIN_MAX:
            found.append((m.start(), len(name), MIN_MAX[name], "min/max swap"))
        if name in RANGE_CALLS and len(args) == 3:
            found.append((*whole, texts[RANGE_CALLS[name]], "call dropped"))
        elif (len(args) == 1 and name not in KEPT_WRAPPERS and last[0].islower()
              and not LITERAL.fullmatch(texts[0])
              and not (code[:m.start()].strip() == "" and code[close + 1:].strip().startswith(";"))):
            found.append((*whole, texts[0], "call dropped"))
        if len(args) == 2 and name not in COMMUTATIVE:
            found.extend(swapped(args, line))
    for m in MEMBER_CALL.finditer(code):
        open_at = m.end() - 1
        close = balanced_close(code, open_at)
        if close < 0:
            continue
        if m.group(1) in SAME_KIND_METHODS and close == open_at + 1:
            found.append((m.start(), close + 1 - m.start(), "", "call dropped"))
            continue
        args = call_arguments(code, open_at, close)
        if len(args) == 2 and m.group(1) not in COMMUTATIVE:
            found.extend(swapped(args, line))
    return found


def swapped(args, line):
    """The two arguments of a call exchanged, unless they are the same text or
    plainly of different kinds (a lambda; a null pointer, an address or a
    literal against anything else)."""
    (lo, a_end), (b_start, hi) = args
    a, b = line[lo:a_end], line[b_start:hi]
    if a == b or not a or not b or a.startswith("[") or b.startswith("["):
        return []
    if argument_kind(a) != argument_kind(b) and (argument_kind(a) or argument_kind(b)):
        return []
    return [(lo, hi - lo, b + line[a_end:b_start] + a, "arguments swapped")]


def argument_kind(text):
    """What a swap cannot put in another's place: a null pointer, an address, a
    text or a character literal; None for anything else."""
    if text == "nullptr":
        return "null"
    if text.startswith("&") and not text.startswith("&&"):
        return "address"
    if re.fullmatch(r"(?:u8|u|U|L)?\".*\"|QStringLiteral\(.*\)(?:\.arg\(.*\))?", text):
        return "text"
    if re.fullmatch(r"(?:u8|u|U|L)?'.*'", text):
        return "character"
    return None


def subscript_mutants(code, line):
    """An index one too high and one too low: `v[i]` and `v.at(i)`."""
    found = []
    for m in re.finditer(r"(?<=[\w)\]])\[|\.at\(", code):
        open_at = m.end() - 1
        close = closing(code, open_at)
        if close < 0:
            continue
        index = line[open_at + 1:close].strip()
        if not index or index.startswith(("[", '"', "'")) or NUMBER.fullmatch(index):
            continue  # an attribute, a key, or a constant (±1 already)
        before = code[:m.start()]
        name = re.search(r"(\w+)\s*$", before)
        if code[open_at] == "[" and name and re.search(r"[\w>]\s+[*&]*$", before[:name.start()]) \
                and not re.search(rf"\b(?:{'|'.join(LEADING_WORDS)})\s+$", before[:name.start()]):
            continue  # an array declared
        inner = f"({index})" if re.search(r"[ ?]", index) else index
        for sign in ("+", "-"):
            found.append((open_at + 1, close - open_at - 1, f"{inner} {sign} 1", "index ±1"))
    return found


def closing(code, open_at):
    pair = {"(": ")", "[": "]"}[code[open_at]]
    depth = 0
    for i in range(open_at, len(code)):
        if code[i] in "([":
            depth += 1
        elif code[i] in ")]":
            depth -= 1
            if depth == 0:
                return i if code[i] == pair else -1
    return -1


def transaction_mutants(code, line):
    """A BEGIN, COMMIT or ROLLBACK statement's text emptied: the call still
    runs, and does nothing."""
    found = []
    for m in re.finditer(r'"((?:[^"\\]|\\.)*)"', line):
        if code[m.start()] == '"' and TRANSACTION.fullmatch(m.group(1)):
            found.append((m.start(), m.end() - m.start(), '""', "SQL statement dropped"))
    return found


# Members of the records declared in the headers: `Type name;` or `Type name = …;`
# at the top level of a struct or class.
MEMBER_DECLARATION = re.compile(r"\s*((?:const\s+)?[\w:]+(?:<[^;()]*>)?)\s+(\w+)\s*(?:=[^;(]*|\{[^;(]*\})?;")
RECORD_START = re.compile(r"\s*(?:struct|class)\s+(?:\[\[\w+\]\]\s+)?(\w+)[^;]*$")
NOT_TYPES = {"using", "typedef", "friend", "return", "static", "enum", "namespace", "template", "delete",
             "goto", "virtual", "case"}


def record_members(headers):
    """Member name -> the other members of the same type in its record, in the
    order declared; a name declared in several records is left out."""
    records = {}
    for header in headers:
        lines = blank_text(header.read_text(encoding="utf-8", errors="replace").split("\n"))
        stack = []  # (record name or None, brace depth at its opening)
        depth = 0
        pending = None
        for code in lines:
            start = RECORD_START.match(code)
            if start:
                pending = start.group(1)
            member = MEMBER_DECLARATION.fullmatch(code.rstrip())
            if member and stack and stack[-1][0] and stack[-1][1] == depth - 1 \
                    and member.group(1).split()[0] not in NOT_TYPES:
                records.setdefault(stack[-1][0], []).append((member.group(2), member.group(1)))
            for c in code:
                if c == "{":
                    stack.append((pending, depth))
                    pending = None
                    depth += 1
                elif c == "}":
                    depth -= 1
                    if stack:
                        stack.pop()
            if code.rstrip().endswith(";"):
                pending = None
    owners = {}
    for record, members in records.items():
        for name, _ in members:
            owners.setdefault(name, []).append(record)
    alternatives = {}
    for record, members in records.items():
        for i, (name, kind) in enumerate(members):
            if len(owners[name]) > 1:
                continue
            same = [other for other, other_kind in members if other_kind == kind]
            at = same.index(name)
            near = same[max(0, at - 1):at] + same[at + 1:at + 2]
            if near:
                alternatives[name] = near
    return alternatives


_MEMBERS = None


def known_members():
    global _MEMBERS
    if _MEMBERS is None:
        _MEMBERS = record_members(sorted((ROOT / "src").rglob("*.h")))
    return _MEMBERS


def member_mutants(code, line, members):
    """In a comparison, a member of a record read in place of another of its type:
    on both sides when both read the same member (a sort key), else on one."""
    found = []
    for m in re.finditer(r"(?<= )(==|!=|<=|>=|<|>)(?= )", code):
        left = re.search(r"(?:\.|->)([A-Za-z_]\w*)$", code[:m.start() - 1])
        right = re.match(r"(?:\w+(?:\(\))?(?:\.|->))+([A-Za-z_]\w*)(?![\w(])", code[m.end() + 1:])
        l_name = left.group(1) if left else None
        r_name = right.group(1) if right else None
        if l_name and l_name == r_name and l_name in members:
            lo = left.start(1)
            hi = m.end() + 1 + right.end(1)
            middle = line[left.end(1):m.end() + 1 + right.start(1)]
            for other in members[l_name]:
                found.append((lo, hi - lo, other + middle + other, "member replaced"))
            continue
        if l_name in members:
            for other in members[l_name]:
                found.append((left.start(1), len(l_name), other, "member replaced"))
        if r_name in members:
            for other in members[r_name]:
                found.append((m.end() + 1 + right.start(1), len(r_name), other, "member replaced"))
    return found


class Mutant:
    def __init__(self, path, number, column, length, replacement, operator, line, occurrence):
        self.path = path  # relative to the tree
        self.number = number  # 1-based line number
        self.column = column
        self.length = length
        self.replacement = replacement
        self.operator = operator
        self.original_line = line
        self.mutated_line = line[:column] + replacement + line[column + length:]
        # Stable while other lines change: the line's text, not its number, and
        # which of the file's identical lines it is.
        key = f"{path}\0{line.strip()}\0{occurrence}\0{column}\0{length}\0{replacement}"
        self.ident = hashlib.sha1(key.encode()).hexdigest()[:8]

    def change(self):
        before = self.original_line[self.column:self.column + self.length]
        if self.operator == "statement removed":
            text = f"statement removed: {before}"
        elif self.operator in ("condition negated", "condition dropped"):
            text = f"{self.operator}: {self.mutated_line.strip()}"
        else:
            text = f"{self.operator} '{before}' → '{self.replacement}': {self.mutated_line.strip()}"
        return text if len(text) <= 200 else text[:199] + "…"

    def where(self):
        return f"{self.path}:{self.number}"


def mutants_of(rel_path):
    text = (ROOT / rel_path).read_text(encoding="utf-8")
    lines = text.split("\n")
    code = blank_text(lines)
    seen = set()
    result = []
    occurrences = {}
    for index, (line, masked) in enumerate(zip(lines, code)):
        occurrence = occurrences[line.strip()] = occurrences.get(line.strip(), -1) + 1
        for column, length, replacement, operator in line_mutants(masked, line, known_members()):
            mutant = Mutant(rel_path, index + 1, column, length, replacement, operator, line, occurrence)
            if mutant.mutated_line == line or (mutant.number, mutant.mutated_line) in seen:
                continue
            seen.add((mutant.number, mutant.mutated_line))
            result.append(mutant)
    return result


def source_files(names):
    files = []
    for name in names:
        path = (Path.cwd() / name).resolve()
        if path.is_dir():
            files.extend(sorted(path.rglob("*.cpp")))
        elif path.is_file():
            files.append(path)
        else:
            sys.exit(f"mutants.py: no such file or folder: {name}")
    rel = []
    for path in files:
        try:
            rel.append(str(path.relative_to(ROOT)))
        except ValueError:
            sys.exit(f"mutants.py: {path} is not in the tree {ROOT}")
    return sorted(set(rel))


# --- Running commands ----------------------------------------------------------------


class Runner:
    """Runs one child process group at a time and kills it on a timeout or a signal."""

    def __init__(self, log_path):
        self.log = open(log_path, "a", encoding="utf-8")

    def run(self, args, cwd=None, timeout=None, env=None):
        """Exit status of the command, or None when it ran past `timeout`."""
        self.log.write(f"\n$ {' '.join(map(str, args))}\n")
        self.log.flush()
        proc = subprocess.Popen(["nice", "-n", "19", *map(str, args)], cwd=cwd, env=env,
                                stdout=self.log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                start_new_session=True)
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        finally:
            # TERM first: ninja passes it on to the compilers it started in
            # process groups of their own, which a KILL would leave running.
            for stop in (signal.SIGTERM, signal.SIGKILL):
                if proc.poll() is not None:
                    break
                try:
                    os.killpg(proc.pid, stop)
                    proc.wait(timeout=10)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    pass
            proc.wait()


# --- The build ---------------------------------------------------------------------


class Build:
    def __init__(self, folder, jobs, runner):
        self.folder = folder
        self.jobs = jobs
        self.runner = runner

    def configure(self):
        # The standard library's own checks on: a mutant that reads an empty
        # optional or past a container's end stops the test program instead of
        # reading whatever lies there. Run every time, so a folder configured
        # otherwise is brought to these settings.
        # Every mutant relinks each test program it is tested by: LLVM's linker,
        # when it is there, does that in a tenth of the time.
        linker = "-fuse-ld=lld" if shutil.which("ld.lld") else ""
        status = self.runner.run(["cmake", "-S", ROOT, "-B", self.folder, "-G", "Ninja",
                                  "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DMARUNOKI_BENCH=OFF",
                                  "-DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS",
                                  f"-DCMAKE_EXE_LINKER_FLAGS={linker}"])
        if status != 0:
            sys.exit(f"mutants.py: configuring {self.folder} failed (see {self.runner.log.name})")

    def ninja(self, *targets):
        return self.runner.run(["ninja", "-C", self.folder, f"-j{self.jobs}", *targets]) == 0

    def read_graph(self):
        """Objects and targets of the sources, test programs and the libraries each links."""
        commands = json.loads((self.folder / "compile_commands.json").read_text())
        self.objects = {}
        for entry in commands:
            output = entry.get("output") or re.search(r"-o (\S+)", entry["command"]).group(1)
            target = re.search(r"CMakeFiles/([^/]+)\.dir/", output)
            if target:
                self.objects[str(Path(entry["file"]).resolve())] = (output, target.group(1))
        dot = self.folder / "mutants-graph" / "deps.dot"
        dot.parent.mkdir(exist_ok=True)
        if self.runner.run(["cmake", f"--graphviz={dot}", "."], cwd=self.folder) != 0:
            sys.exit("mutants.py: cmake --graphviz failed")
        labels, shapes, edges = {}, {}, {}
        for line in dot.read_text().splitlines():
            node = re.match(r'\s*"(\w+)" \[ label = "([^"]+)", shape = (\w+)', line)
            if node:
                labels[node.group(1)] = node.group(2)
                shapes[node.group(1)] = node.group(3)
            edge = re.match(r'\s*"(\w+)" -> "(\w+)"', line)
            if edge:
                edges.setdefault(edge.group(1), set()).add(edge.group(2))

        def closure(node):
            seen, todo = set(), [node]
            while todo:
                for nxt in edges.get(todo.pop(), ()):
                    if nxt not in seen:
                        seen.add(nxt)
                        todo.append(nxt)
            return {labels[n] for n in seen}

        self.links = {}
        for node, label in labels.items():
            if shapes[node] == "egg" and "GTest::gtest_main" in {labels[n] for n in edges.get(node, ())}:
                self.links[label] = closure(node)
        self.programs = {}
        for name in self.links:
            query = subprocess.run(["ninja", "-C", self.folder, "-t", "query", name],
                                   capture_output=True, text=True).stdout
            inputs = [line.strip() for line in query.splitlines()[2:] if line.startswith("    ")]
            self.programs[name] = self.folder / (inputs[0] if inputs else f"tests/{name}")
            # A program the tests run as a child process (the command line) is
            # built before them, not linked: it is what they test all the same.
            for line in query.splitlines():
                built_first = re.match(r"\s+\|\| (?:.*/)?([\w.-]+)$", line)
                if built_first and built_first.group(1) in labels.values() \
                        and not built_first.group(1).endswith(".a"):
                    self.links[name].add(built_first.group(1))

    def code_digest(self, obj):
        """Digest of an object file's code and data, its debug information left out."""
        stripped = self.folder / "mutants-stripped.o"
        if self.runner.run(["objcopy", "--strip-debug", self.folder / obj, stripped]) != 0:
            return None
        digest = hashlib.sha1(stripped.read_bytes()).hexdigest()
        stripped.unlink()
        return digest

    def object_of(self, rel_path):
        return self.objects.get(str((ROOT / rel_path).resolve()))

    def tests_for(self, rel_path):
        """Test programs linking the library that holds the file, narrowest first."""
        found = self.object_of(rel_path)
        if not found:
            return []
        target = found[1]
        names = [name for name, libs in self.links.items() if target in libs]
        return sorted(names, key=lambda name: (len(self.links[name]), name))


# --- Planting and restoring ------------------------------------------------------------


class Planter:
    """Writes a mutant over a file and puts the original back, whatever happens."""

    def __init__(self, journal):
        self.journal = journal
        self.path = None
        self.original = None

    def recover(self):
        """Restores a file an earlier run was stopped from restoring."""
        if not self.journal.exists():
            return
        record = json.loads(self.journal.read_text())
        path = ROOT / record["path"]
        backup = Path(str(self.journal) + ".orig")
        current = path.read_bytes() if path.exists() else b""
        if backup.exists() and hashlib.sha1(current).hexdigest() == record["mutated_sha1"]:
            write_whole(path, backup.read_bytes())
            print(f"mutants.py: restored {record['path']}, left mutated by an interrupted run")
        else:
            print(f"mutants.py: {record['path']} was changed since an interrupted run; left as it is")
        self.journal.unlink()
        backup.unlink(missing_ok=True)

    def plant(self, mutant):
        path = ROOT / mutant.path
        data = path.read_bytes()
        lines = data.decode("utf-8").split("\n")
        assert lines[mutant.number - 1] == mutant.original_line
        lines[mutant.number - 1] = mutant.mutated_line
        mutated = "\n".join(lines).encode("utf-8")
        old = signal.pthread_sigmask(signal.SIG_BLOCK, STOP_SIGNALS)
        try:
            Path(str(self.journal) + ".orig").write_bytes(data)
            self.journal.write_text(json.dumps({"path": mutant.path,
                                                "mutated_sha1": hashlib.sha1(mutated).hexdigest()}))
            self.path, self.original = path, data
            write_whole(path, mutated)
        finally:
            signal.pthread_sigmask(signal.SIG_SETMASK, old)

    def restore(self):
        if self.path is None:
            return
        old = signal.pthread_sigmask(signal.SIG_BLOCK, STOP_SIGNALS)
        try:
            write_whole(self.path, self.original)
            self.path = self.original = None
            self.journal.unlink(missing_ok=True)
            Path(str(self.journal) + ".orig").unlink(missing_ok=True)
        finally:
            signal.pthread_sigmask(signal.SIG_SETMASK, old)


def write_whole(path, data):
    """Replaces the file in one step: never half a file. The new time stamp makes
    the build compile it again."""
    temp = path.with_name(path.name + ".mutants-tmp")
    temp.write_bytes(data)
    shutil.copymode(path, temp)
    os.replace(temp, path)


# --- The run ------------------------------------------------------------------------


def dirty_tree():
    status = subprocess.run(["git", "-C", ROOT, "status", "--porcelain"], capture_output=True, text=True)
    if status.returncode != 0:
        return "not a git tree"
    return status.stdout.strip()


def test_env():
    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = "offscreen"
    return env


def run_test(build, name, timeout):
    program = build.programs[name]
    status = build.runner.run([program, "--gtest_fail_fast", "--gtest_brief=1"], cwd=program.parent,
                              timeout=timeout, env=test_env())
    return status


def read_equivalent(path):
    """Id -> reason of the mutants listed as impossible to notice; lines are
    `ID file:line reason`, with # comments."""
    listed = {}
    if not path.exists():
        return listed
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        parts = line.split(None, 2)
        if len(parts) < 3 or not re.fullmatch(r"[0-9a-f]{8}", parts[0]):
            sys.exit(f"mutants.py: {path}:{number}: wants `ID file:line reason`")
        listed[parts[0]] = f"{parts[1]} {parts[2]}"
    return listed


def ids_in(path):
    """The mutant ids a file names: those in square brackets on the lines of
    killed and surviving mutants of an earlier run's output, else one per line."""
    text = path.read_text(encoding="utf-8")
    ids = re.findall(r"^\s*\d+/\d+ (?:killed|survived) .*\[([0-9a-f]{8}),", text, re.M)
    if not ids:
        ids = re.findall(r"^\s*([0-9a-f]{8})\b", text, re.M)
    if not ids:
        sys.exit(f"mutants.py: no mutant ids in {path}")
    return list(dict.fromkeys(ids))


OPERATORS = """faults planted:
  relational swap        a < b -> a > b, == -> !=
  boundary shift         a < b -> a <= b
  &&/|| swap             a && b -> a || b
  condition negated      if (c) -> if (!(c))
  condition dropped      if (a && b) -> if (true), if (b), if (a)
  constant ±1            n + 2 -> n + 3, n + 1
  statement removed      x.push_back(v); -> ;
  return replaced        return x; -> return {};  return true; -> return false;
  call dropped           esc(x) -> x, qBound(a, x, b) -> x, s.trimmed() -> s
  min/max swap           std::min(a, b) -> std::max(a, b)
  arguments swapped      f(a, b) -> f(b, a) (a mutant the compiler refuses is replaced)
  index ±1               v[i] -> v[i + 1], v.at(i) -> v.at(i - 1)
  SQL statement dropped  exec("COMMIT") -> exec("")  (BEGIN, COMMIT, ROLLBACK)
  member replaced        a.date < b.date -> a.entered < b.entered (a member of the
                         same type next to it in its record, as declared in src/*.h)"""


def main():
    parser = argparse.ArgumentParser(description="Plants one-line faults and checks that the tests notice.",
                                     epilog=OPERATORS, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("paths", nargs="+", help="C++ files or folders (their .cpp files)")
    chosen = parser.add_mutually_exclusive_group()
    chosen.add_argument("--sample", type=int, metavar="N", help="test N mutants chosen at random")
    chosen.add_argument("--all", action="store_true", help="test every mutant")
    chosen.add_argument("--id", action="append", metavar="ID", help="test the mutant with this id (repeatable)")
    chosen.add_argument("--ids-from", metavar="FILE", help="test the mutants whose ids (in square brackets, "
                        "as this script prints them, or one per line) a file holds: an earlier run again")
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample (default 1)")
    parser.add_argument("--build", default="build-mutants", help="build folder (default build-mutants)")
    parser.add_argument("--jobs", type=int, default=2, help="build jobs (default 2)")
    parser.add_argument("--timeout", type=float, help="seconds a test program may run "
                        "(default: 3 times its run on the unmutated tree, at least 60)")
    parser.add_argument("--shard", metavar="K/N", help="test the K-th of N interleaved parts of the sample "
                        "(0-based), to share it between clones of the tree")
    parser.add_argument("--list", action="store_true", help="list the mutants and their ids, build nothing")
    parser.add_argument("--equivalent", default=str(ROOT / "scripts" / "mutants-equivalent.txt"), metavar="FILE",
                        help="mutants no test can notice, with the reason (default scripts/mutants-equivalent.txt)")
    args = parser.parse_args()
    equivalent = read_equivalent(Path(args.equivalent))
    if args.ids_from:
        args.id = ids_in(Path(args.ids_from))

    files = source_files(args.paths)
    candidates = [m for f in files for m in mutants_of(f)]
    if args.list:
        for m in candidates:
            print(f"{m.ident} {m.where()} {m.change()}")
        print(f"{len(candidates)} mutants in {len(files)} files")
        return 0
    if args.id:
        wanted = set(args.id)
        order = [m for m in candidates if m.ident in wanted]
        missing = wanted - {m.ident for m in order}
        if missing:
            sys.exit(f"mutants.py: no mutant with id {', '.join(sorted(missing))} in the files named")
        target = len(order)
    else:
        order = list(candidates)
        random.Random(args.seed).shuffle(order)
        target = len(order) if args.all or args.sample is None else args.sample
    if args.shard:
        shard = re.fullmatch(r"(\d+)/(\d+)", args.shard)
        if not shard or int(shard.group(1)) >= int(shard.group(2)):
            sys.exit("mutants.py: --shard wants K/N with 0 <= K < N")
        k, n = int(shard.group(1)), int(shard.group(2))
        order = order[k::n]
        target = min(len(order), target // n + (1 if k < target % n else 0))

    build_dir = (Path.cwd() / args.build).resolve()
    build_dir.mkdir(parents=True, exist_ok=True)
    planter = Planter(build_dir / "mutant-in-place.json")
    planter.recover()
    dirty = dirty_tree()
    if dirty:
        print("mutants.py: the tree has changes; commit or stash them first:\n" + dirty, file=sys.stderr)
        return 2

    for signum in STOP_SIGNALS:
        signal.signal(signum, on_signal)
    runner = Runner(build_dir / "mutants.log")
    build = Build(build_dir, args.jobs, runner)
    killed, tested, survivors, skipped, same_code = 0, 0, [], 0, 0
    wrongly_listed = []
    try:
        build.configure()
        build.read_graph()
        needed = sorted({name for f in files for name in build.tests_for(f)})
        if not needed:
            print("mutants.py: no test program links these files", file=sys.stderr)
            return 2
        print(f"{len(candidates)} mutants in {len(files)} files; testing {min(target, len(order))}; "
              f"test programs: {' '.join(needed)}", flush=True)
        # The tests must pass before a failure can mean anything, and their
        # time on this machine sets the limit.
        if not build.ninja(*[str(build.programs[n].relative_to(build_dir)) for n in needed]):
            print(f"mutants.py: the unmutated tree does not build (see {runner.log.name})", file=sys.stderr)
            return 1
        limits = {}
        for name in needed:
            began = time.monotonic()
            status = run_test(build, name, None)
            spent = time.monotonic() - began
            if status != 0:
                print(f"mutants.py: {name} fails on the unmutated tree (see {runner.log.name})", file=sys.stderr)
                return 1
            limits[name] = args.timeout or max(60.0, 3 * spent)
            print(f"unmutated: {name} passes in {spent:.0f}s", flush=True)
        # Taken while every object is built from the unmutated tree.
        unmutated = {}
        for f in files:
            obj = build.object_of(f)
            if obj:
                unmutated[obj[0]] = build.code_digest(obj[0])
        for mutant in order:
            if tested == target:
                break
            tests = build.tests_for(mutant.path)
            obj = build.object_of(mutant.path)
            if not tests or not obj:
                continue
            began = time.monotonic()
            verdict, by = None, None
            try:
                planter.plant(mutant)
                if not build.ninja(obj[0]):
                    verdict = "no build"
                elif unmutated.get(obj[0]) is not None and build.code_digest(obj[0]) == unmutated[obj[0]]:
                    verdict = "same code"
                else:
                    for name in tests:
                        if not build.ninja(str(build.programs[name].relative_to(build_dir))):
                            verdict = "no build"
                            break
                        status = run_test(build, name, limits[name])
                        if status != 0:
                            verdict = "killed"
                            by = name + (" timeout" if status is None else "")
                            break
                    else:
                        verdict = "survived"
            finally:
                planter.restore()
            spent = time.monotonic() - began
            if verdict == "no build":
                skipped += 1
                print(f"   -   no build  {mutant.where()} {mutant.change()} [{mutant.ident}]", flush=True)
                continue
            if verdict == "same code":
                same_code += 1
                print(f"   -   same code {mutant.where()} {mutant.change()} [{mutant.ident}]", flush=True)
                continue
            tested += 1
            if verdict == "killed":
                killed += 1
                if mutant.ident in equivalent:
                    wrongly_listed.append(mutant)
            else:
                survivors.append(mutant)
                if mutant.ident in equivalent:
                    verdict = "equivalent"
            detail = f"by {by}" if by else f"{len(tests)} programs"
            print(f"{tested:4}/{target} {verdict:8} {mutant.where()} {mutant.change()} "
                  f"[{mutant.ident}, {detail}, {spent:.0f}s]", flush=True)
    except Stopped as stop:
        print(f"\nmutants.py: stopped by {stop}; every file is restored; so far:", file=sys.stderr)
        status = 130
    else:
        status = 0
    finally:
        planter.restore()
        for signum in STOP_SIGNALS:
            signal.signal(signum, signal.SIG_DFL)

    if skipped:
        print(f"{skipped} mutants did not compile and are not counted")
    if same_code:
        print(f"{same_code} mutants compiled to the unmutated code (equivalent) and are not counted")
    for m in wrongly_listed:
        print(f"mutants.py: {m.ident} is listed as equivalent in {args.equivalent}, but a test killed it")
    listed = [m for m in survivors if m.ident in equivalent]
    if listed:
        print("Survivors listed as equivalent or unreachable:")
        for m in listed:
            print(f"  {m.where()} {m.change()} [{m.ident}]\n      {equivalent[m.ident].split(None, 1)[1]}")
    unlisted = [m for m in survivors if m.ident not in equivalent]
    if unlisted:
        print("Survivors:")
        for m in unlisted:
            print(f"  {m.where()} {m.change()} [{m.ident}]")
    percent = 100.0 * killed / tested if tested else 0.0
    print(f"killed {killed} of {tested} ({percent:.1f}%)")
    if listed:
        rest = tested - len(listed)
        share = 100.0 * killed / rest if rest else 0.0
        print(f"killed {killed} of the {rest} not listed as equivalent or unreachable ({share:.1f}%)")
    return status


if __name__ == "__main__":
    sys.exit(main())
