#!/usr/bin/env python3
"""Writes docs/manual/functions.md, the manual's chapter on the @functions.

The chapter is made from two data files and the batch tool:

  docs/manual/functions.tsv         one row per function: family, name,
                                    arguments, what it gives, one example and,
                                    optionally, the result the example must give
  docs/manual/functions-sample.txt  the sample sheet the examples refer to,
                                    one ADDRESS=TEXT entry per line

Every example is evaluated by `tabulon-cli eval` on the sample sheet, and the
chapter shows what the program answered, so no result in the manual is made
up. The script refuses to write the chapter when

  - a function of the operator table (src/formula/operations.def) has no row,
    or a row names a function the table does not have;
  - a row's argument list does not have the number of arguments the table
    gives the function;
  - an example does not compile, gives ERR without saying so, or gives
    something other than the result its row expects;
  - an example is not written the way the input line shows it again.

  make-function-reference.py [--cli PATH] [--check]

--check writes nothing: it exits with status 1 when the chapter on disk is
not what the data and the program give today (a test runs it this way).
"""

import argparse
import difflib
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MANUAL = os.path.join(ROOT, "docs", "manual")
TABLE = os.path.join(MANUAL, "functions.tsv")
SAMPLE = os.path.join(MANUAL, "functions-sample.txt")
OUTPUT = os.path.join(MANUAL, "functions.md")
OP_TABLE = os.path.join(ROOT, "src", "formula", "operations.def")

# Functions whose name the formula text does not spell in the usual way.
SPELLING = {"@": "@@"}


class Problem(Exception):
    pass


def read_operator_table():
    """Name -> argument count (-1 for a list) of every named function."""
    text = open(OP_TABLE, encoding="utf-8").read()
    functions = {}
    # Rows read KIND(number, identifier, "NAME", Class, handler).
    row = re.compile(r'^[A-Z_]+\(\s*(\d+),\s*\w+,\s*"([^"]*)",\s*(\w+),', re.M)
    for op, name, cls in row.findall(text):
        op = int(op)
        if not name or (op < 27 and op != 22):
            continue  # operands, operators and unassigned numbers
        if cls == "Variadic":
            functions[name] = -1
        elif re.fullmatch(r"Function[0-4]", cls):
            functions[name] = int(cls[-1])
    return functions


class Row:
    def __init__(self, line_no, fields):
        fields += [""] * (6 - len(fields))
        (self.family, self.name, self.args, self.result, self.example,
         self.expect) = [f.strip() for f in fields[:6]]
        self.line_no = line_no
        self.value = None
        self.is_text = False

    def call(self):
        """The function as the reader types it, with its argument names."""
        name = SPELLING.get(self.name, "@" + self.name)
        return f"{name}({self.args})" if self.args else name

    def arg_count(self):
        if not self.args:
            return 0
        if "..." in self.args:
            return -1
        return len([a for a in self.args.split(",") if a.strip()])


def read_table():
    families, intros, rows = [], {}, []
    with open(TABLE, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if fields[0] == "family":
                continue  # the header
            if len(fields) < 5:
                raise Problem(f"functions.tsv:{n}: expected at least five tab-separated fields")
            row = Row(n, fields)
            if row.family not in families:
                families.append(row.family)
            if row.name == "*":
                intros[row.family] = row.result
            else:
                rows.append(row)
    return families, intros, rows


def check_coverage(rows, functions):
    problems = []
    seen = {}
    for r in rows:
        if r.name in seen:
            problems.append(f"functions.tsv:{r.line_no}: {r.name} is listed twice")
        seen[r.name] = r
        if r.name not in functions:
            problems.append(f"functions.tsv:{r.line_no}: {r.name} is not a function of the operator table")
        elif r.arg_count() != functions[r.name]:
            want = "a list" if functions[r.name] < 0 else str(functions[r.name])
            problems.append(f"functions.tsv:{r.line_no}: {r.name} takes {want} argument(s), "
                            f"the row lists '{r.args}'")
    for name in sorted(functions):
        if name not in seen:
            problems.append(f"functions.tsv: no row for @{name}")
    if problems:
        raise Problem("\n".join(problems))


def run(cli, args, cwd):
    proc = subprocess.run([cli, "--utf8"] + args, cwd=cwd, capture_output=True,
                          text=True, encoding="utf-8")
    return proc.returncode, proc.stdout.splitlines(), proc.stderr


def evaluate(cli, rows):
    """Fills in each row's value as the batch tool gives it."""
    with tempfile.TemporaryDirectory() as tmp:
        # The sample sheet, entered as a user would type it.
        code, _, err = run(cli, ["enter", "--script", SAMPLE, "--out", "sample.wks"], tmp)
        if code != 0:
            raise Problem("the sample sheet could not be entered:\n" + err)
        examples = [r.example for r in rows]
        code, values, err = run(cli, ["eval", "--file", "sample.wks"] + examples, tmp)
        if len(values) != len(rows):
            raise Problem(f"tabulon-cli eval gave {len(values)} lines for {len(rows)} examples:\n{err}")
        # Entered into cells, the examples show how the input line writes
        # them and whether their result is text.
        entries = [f"Z{i + 1}={r.example}" for i, r in enumerate(rows)]
        script = os.path.join(tmp, "examples.txt")
        with open(script, "w", encoding="utf-8") as f:
            f.write("\n".join(entries) + "\n")
        code, dump, err = run(cli, ["enter", "--file", "sample.wks", "--script", script,
                                    "--dump"], tmp)
        cells = {}
        for line in dump:
            parts = line.split("\t")
            if len(parts) >= 3 and parts[0].startswith("Z"):
                cells[int(parts[0][1:]) - 1] = parts
    problems = []
    for i, (r, value) in enumerate(zip(rows, values)):
        where = f"functions.tsv:{r.line_no}: {r.example}"
        if value == "Error: syntax":
            problems.append(f"{where}: does not compile")
            continue
        if value == "ERR" and r.expect != "ERR":
            problems.append(f"{where}: gives ERR")
        if r.expect and value != r.expect:
            problems.append(f"{where}: gives {value}, the row expects {r.expect}")
        cell = cells.get(i)
        if cell is None:
            problems.append(f"{where}: could not be entered into a cell")
            continue
        if cell[2] != r.example:
            problems.append(f"{where}: the input line writes it as {cell[2]}")
        r.value = value
        r.is_text = cell[1] == "text-formula"
    if problems:
        raise Problem("\n".join(problems))


def cell_text(text):
    """Text fit for a Markdown table cell."""
    return text.replace("|", "\\|")


def code(text):
    """Inline code that may itself hold backquotes or bars."""
    ticks = "``" if "`" in text else "`"
    pad = " " if "`" in text else ""
    return f"{ticks}{pad}{cell_text(text)}{pad}{ticks}"


def anchor(heading):
    """The anchor a Markdown heading gets: lower case, punctuation dropped,
    blanks as hyphens (the help window and the link test use the same rule)."""
    slug = re.sub(r"[^\w\- ]", "", heading.lower())
    return slug.replace(" ", "-")


def sample_grid():
    """The sample sheet as a table of its used rows and columns."""
    cells = {}
    with open(SAMPLE, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or "=" not in line:
                continue
            address, text = line.split("=", 1)
            m = re.fullmatch(r"([A-Z])(\d+)", address)
            if not m:
                raise Problem(f"functions-sample.txt: {address} is not a simple address")
            cells[(ord(m.group(1)) - ord("A"), int(m.group(2)))] = text
    last_col = max(c for c, _ in cells)
    last_row = max(r for _, r in cells)
    letters = [chr(ord("A") + c) for c in range(last_col + 1)]
    lines = ["|   | " + " | ".join(letters) + " |",
             "|---|" + "---|" * len(letters)]
    for row in range(1, last_row + 1):
        texts = [cell_text(cells.get((c, row), "")) for c in range(last_col + 1)]
        lines.append(f"| **{row}** | " + " | ".join(texts) + " |")
    return "\n".join(lines)


def render(families, intros, rows):
    out = []
    w = out.append
    w("# The @functions")
    w("")
    w("<!-- Written by scripts/make-function-reference.py from functions.tsv and")
    w("     functions-sample.txt; edit those and run the script again. -->")
    w("")
    w("A function is written as `@`, its name and, when it takes arguments, the")
    w("arguments in parentheses separated by commas: `@ROUND(A1*1.05,2)`. Names")
    w("may be typed in any case; the input line shows them in capitals. An")
    w("argument can be a number, a text in double quotes, a cell, a range such")
    w("as `A1..A5`, a range name, or any formula, including other functions.")
    w("Where this chapter says *range*, the argument must be a cell, a range or")
    w("a range name. When the argument separator has been set to `;` (see")
    w("[the configuration file](configuration.md#chars)), write `@ROUND(A1;2)`.")
    w("")
    w("A function that cannot give a result gives the error value `ERR`: a")
    w("square root of a negative number, a division by zero, an argument out of")
    w("range. Numbers are read as numbers wherever a text is expected and the")
    w("other way round: a text counts as 0 in arithmetic.")
    w("")
    w("Every example below was evaluated by TABULON on the sample sheet that")
    w("follows, and the result shown is the one it gave (`tabulon-cli eval`,")
    w("see [tabulon-cli](tabulon-cli.md#eval)). Text results are shown in")
    w("double quotes; long numbers are shown with the 15 significant digits the")
    w("input line would show.")
    w("")
    w("## The sample sheet")
    w("")
    w("To try the examples, type these entries into an empty sheet (or run")
    w("`tabulon-cli enter --script docs/manual/functions-sample.txt --out sample.wks`")
    w("and open `sample.wks`). Cell D7, the corner of the table in D7..F9, stays empty.")
    w("")
    w(sample_grid())
    w("")
    w("## Contents")
    w("")
    for fam in families:
        w(f"- [{fam}](#{anchor(fam)})")
    w("")
    by_name = sorted(rows, key=lambda r: r.name)
    links = [f"[{SPELLING.get(r.name, '@' + r.name)}](#{anchor(r.family)})" for r in by_name]
    w("All functions by name: " + " · ".join(links) + ".")
    for fam in families:
        w("")
        w(f"## {fam}")
        w("")
        if fam in intros:
            w(intros[fam])
            w("")
        w("| Function | Gives | Example | Result |")
        w("|---|---|---|---|")
        for r in rows:
            if r.family != fam:
                continue
            value = f'"{r.value}"' if r.is_text else r.value
            w(f"| {code(r.call())} | {cell_text(r.result)} | {code(r.example)} | {code(value)} |")
    w("")
    w("## Functions you define yourself")
    w("")
    w("Functions of your own are kept in the user-function file (see")
    w("[the configuration file](configuration.md#the-user-function-file)) and are")
    w("called like the built-in ones. A range name can also serve as a function:")
    w("`@NAME(a,b)` writes its arguments into the first row of the named range,")
    w("one per column, and gives the value of the formula in the range's")
    w("bottom-left cell.")
    w("")
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", default=os.path.join(ROOT, "build", "tabulon-cli"),
                        help="the tabulon-cli to evaluate the examples with")
    parser.add_argument("--check", action="store_true",
                        help="compare with the chapter on disk instead of writing it")
    args = parser.parse_args()
    try:
        if not os.access(args.cli, os.X_OK):
            raise Problem(f"{args.cli} is not an executable tabulon-cli (build it, or pass --cli)")
        families, intros, rows = read_table()
        check_coverage(rows, read_operator_table())
        evaluate(args.cli, rows)
        text = render(families, intros, rows)
    except Problem as p:
        print(f"make-function-reference: {p}", file=sys.stderr)
        return 1
    if args.check:
        current = open(OUTPUT, encoding="utf-8").read() if os.path.exists(OUTPUT) else ""
        if current != text:
            diff = difflib.unified_diff(current.splitlines(), text.splitlines(),
                                        "functions.md (on disk)", "functions.md (today)",
                                        lineterm="")
            print("\n".join(list(diff)[:60]), file=sys.stderr)
            print("make-function-reference: docs/manual/functions.md is out of date; "
                  "run scripts/make-function-reference.py", file=sys.stderr)
            return 1
        return 0
    with open(OUTPUT, "w", encoding="utf-8") as f:
        f.write(text)
    print(f"wrote {os.path.relpath(OUTPUT, ROOT)}: {len(rows)} functions")
    return 0


if __name__ == "__main__":
    sys.exit(main())
