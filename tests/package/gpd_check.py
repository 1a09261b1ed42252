"""gpd_check.py VELS2.GPD: where the GPD puts the dots of the series' 24-pin ESC/P printers.
Prints each problem and fails when there is one. The printer's facts are stated here once and
never read from the GPD: a check that took them from the file it checks could not fail."""
import functools
import re
import sys
from fractions import Fraction

# ---- The printer. Lengths in 1/360 inch -------------------------------------------------------
# Column 0 of the head is the paper's left edge (the paper guide's mark); it reaches 9 inches.
REACH = 9 * 360
# A cut sheet fed by friction is held by the rollers at its top 1/6 and its bottom 1/3 inch.
FRICTION_TOP, FRICTION_BOTTOM = 60, 120
PATHS = {"TRACTOR": "tractor", "MANUAL": "friction"}  # the paper path of each InputBin option
# ESC * m: dots an inch across, dots a column, their pitch down (dots an inch), and whether dots
# side by side print (a pin cannot fire twice at 1/360 inch, nor at 8-dot m = 2 and 3).
DENSITIES = {0: (60, 8, 60, True), 1: (120, 8, 60, True), 2: (120, 8, 60, False),
             3: (240, 8, 60, False), 4: (80, 8, 60, True), 6: (90, 8, 60, True),
             32: (60, 24, 180, True), 33: (120, 24, 180, True), 38: (90, 24, 180, True),
             39: (180, 24, 180, True), 40: (360, 24, 180, False)}
# Moves: axis, units an inch, largest parameter, whether only the LF after it moves the paper.
MOVES = {b"\x1b$": ("X", 60, 0xFFFF, False), b"\x1b+": ("Y", 360, 255, True),
         b"\x1b3": ("Y", 180, 255, True), b"\x1bJ": ("Y", 180, 255, False)}
# The parameter bytes of the ESC commands a setup may send (ESC C 0 n takes one more).
ESC_ARGS = {b"@": 0, b"0": 0, b"2": 0, b"3": 1, b"+": 1, b"A": 1, b"C": 1, b"x": 1, b"k": 1,
            b"U": 1, b"P": 0, b"M": 0, b"g": 0, b"p": 1, b"!": 1, b"$": 2, b"J": 1}
# The line spacing they set; ESC @ restores the power-on 1/6 inch and the panel's form length.
SPACING = {b"@": lambda a: 60, b"0": lambda a: 45, b"2": lambda a: 60, b"3": lambda a: 2 * a[0],
           b"+": lambda a: a[0], b"A": lambda a: 6 * a[0]}
# ESC C n sets the form length to n lines (1-127) of the spacing in force, ESC C 0 n to n inches
# (1-22). A length no lines of up to 255/360 inch make is met within half a unit a line, at best.
MAX_LINES, MAX_SPACING, MAX_INCHES = 127, 255, 22

# ---- The platform -----------------------------------------------------------------------------
STANDARD_SIZES_MM = {"A4": (210, 297), "A5": (148, 210), "LETTER": (215.9, 279.4)}
SECTIONS = ["JOB_SETUP", "DOC_SETUP", "PAGE_SETUP"]  # sent before a page, in this order


class Problem(Exception):
    pass


class Entry:
    def __init__(self, keyword, value, line):
        self.keyword, self.value, self.line, self.kids = keyword, value, line, None


def parse(text):
    """The entries as a tree: a block belongs to the entry before its '{'."""
    root, stack = [], []
    if not text.startswith("*GPDSpecVersion"):
        raise Problem("*GPDSpecVersion must be the first line")
    for number, line in enumerate((line.strip() for line in text.splitlines()), 1):
        current = stack[-1].kids if stack else root
        if line == "{" and current and current[-1].kids is None:
            current[-1].kids = []
            stack.append(current[-1])
        elif line == "}" and stack:
            stack.pop()
        elif line.startswith("+") and current:
            current[-1].value += " " + line[1:].strip()
        elif m := re.fullmatch(r"\*(?!%)([\w?]+)(?::\s*(.*))?", line):
            keyword = m[1].lower() if m[1].lower() in ("switch", "case", "default") else m[1]
            current.append(Entry(keyword, (m[2] or "").strip(), number))
        elif line and not line.startswith("*%"):
            raise Problem(f"line {number}: {line!r} is no entry, or no block's start or end")
    if stack:
        raise Problem(f"line {stack[-1].line}: '{{' is not closed")
    return root


def find(entries, keyword):
    return [e for e in entries or [] if e.keyword == keyword]


def walk(entries, feature=None):
    """Every entry, with the feature it is in."""
    for entry in entries or []:
        yield entry, feature
        yield from walk(entry.kids, entry.value if entry.keyword == "Feature" else feature)


def flatten(entries, selection):
    """The entries in force for a selection of options: each switch gives its case's."""
    for entry in entries or []:
        if entry.keyword != "switch":
            yield entry
            continue
        cases = [c for c in find(entry.kids, "case") if c.value == selection.get(entry.value)]
        for case in (cases + find(entry.kids, "default"))[:1]:
            yield from flatten(case.kids, selection)


def pair(value):
    if not (m := re.fullmatch(r"PAIR\(\s*(\d+)\s*,\s*(\d+)\s*\)", value or "")):
        raise Problem(f"not a PAIR: {value}")
    return int(m[1]), int(m[2])


def items(value):
    return re.findall(r"[\w?]+\.[\w?]+", value)


@functools.lru_cache(maxsize=None)
def compiled(expression):
    """A GPD expression: whole numbers, variables, + - * / MOD, min, max and max_repeat."""
    if not re.fullmatch(r"[\w\s+\-*/(),]*", expression):
        raise Problem(f"cannot read the expression {expression}")
    return compile(re.sub(r"\bMOD\b", "%", expression).replace("/", "//"), expression, "eval")


def evaluate(expression, variables):
    names = {"__builtins__": {}, "min": min, "max": max, "max_repeat": lambda value: value}
    return eval(compiled(expression), names, variables)


@functools.lru_cache(maxsize=None)
def command_parts(text):
    """A command string as literal bytes and parameters (format, range, expression)."""
    parts, rest = [], text.strip()
    while rest:
        if m := re.match(r'"([^"]*)"\s*', rest):
            pieces = re.split(r"<([0-9A-Fa-f ]*)>", m[1])
            parts.append(b"".join(bytes.fromhex(p) if i % 2 else p.encode("ascii")
                                  for i, p in enumerate(pieces)))
        elif m := re.match(r"%([clm])(?:\[(\d+),(\d+)\])?\{([^}]*)\}\s*", rest):
            parts.append((m[1], (int(m[2]), int(m[3])) if m[2] else None, m[4]))
        else:
            raise Problem(f"cannot read the command string {text}")
        rest = rest[m.end():]
    return tuple(parts)


def expand(parts, variables):
    """The bytes of a command; the driver keeps each parameter in its range."""
    out = b""
    for part in parts:
        if isinstance(part, tuple):
            (form, limits, expression), value = part, evaluate(part[2], variables)
            value = max(limits[0], min(limits[1], value)) if limits else value
            part = value.to_bytes(1 if form == "c" else 2, "big" if form == "m" else "little")
        out += part
    return out


def form_set_by(data):
    """The form length that bytes set, as the printer reads them; None: the panel's."""
    spacing, form, at = 60, None, 0
    while at < len(data):
        name = data[at + 1:at + 2] if data[at] == 0x1B else b""
        if name and name not in ESC_ARGS:
            raise Problem(f"ESC {name.decode('latin-1')}: a command the checker does not know")
        size = ESC_ARGS.get(name, -1) + (name == b"C" and data[at + 2:at + 3] == b"\0")
        args = data[at + 2:at + 2 + size]
        form = None if name == b"@" else form
        spacing = SPACING[name](args) if name in SPACING else spacing
        if name == b"C" and size == 2 and 1 <= args[1] <= MAX_INCHES:
            form = args[1] * 360
        elif name == b"C" and size == 1 and 1 <= args[0] <= MAX_LINES:
            form = args[0] * spacing
        at += 2 + size
    return form


class Gpd:
    def __init__(self, text):
        self.root = parse(text)
        self.features = {f.value: f for f in find(self.root, "Feature")}
        needed = ["MasterUnits", "PrinterType", "ModelName", "InputBin", "PaperSize", "Resolution"]
        for name in needed:
            if not find(self.root, name) and name not in self.features:
                raise Problem(f"missing *{name}")
        self.master = pair(find(self.root, "MasterUnits")[0].value)
        self.defaults = {name: find(f.kids, "DefaultOption")[0].value
                         for name, f in self.features.items() if find(f.kids, "DefaultOption")}

    def options(self, feature):
        return {o.value: o for o in find(self.features[feature].kids, "Option")}

    @functools.lru_cache(maxsize=None)
    def in_force(self, **chosen):
        """The attributes and commands in force for options chosen, the others at default."""
        selection = {**self.defaults, **chosen}
        entries = list(flatten(self.root, selection))
        for feature, option in selection.items():
            entries += flatten(self.options(feature)[option].kids, selection)
        # A command is a block, or its short form "*Command: Name: string".
        commands = [(e.value.partition(":")[0],
                     {k.keyword: k.value for k in flatten(e.kids, selection)}
                     or {"Cmd": e.value.partition(":")[2]})
                    for e in entries if e.keyword == "Command"]
        return {e.keyword: e.value for e in entries if e.kids is None}, commands

    def setup(self, page, **chosen):
        """The form length that the commands sent before a page set (none without *Order)."""
        ordered = []
        for name, command in self.in_force(**chosen)[1]:
            section, _, number = command.get("Order", "").partition(".")
            if section in SECTIONS:
                ordered.append((SECTIONS.index(section), int(number), command.get("Cmd", "")))
        variables = {"PhysPaperWidth": page[0], "PhysPaperLength": page[1]}
        return form_set_by(b"".join(expand(command_parts(c), variables)
                                       for _, _, c in sorted(ordered)))

    def constraints(self, feature, option):
        kids = self.options(feature)[option].kids
        return [n for entry in find(kids, "Constraints") for n in items(entry.value)]


def structure(gpd):
    """What would stop the platform loading the file: names that lead nowhere, missing entries."""
    known = {f"{f}.{o}" for f in gpd.features for o in gpd.options(f)}
    for entry, feature in walk(gpd.root):
        names = items(entry.value) if entry.value.startswith("LIST(") else []
        if entry.keyword == "DefaultOption":
            names = [f"{feature}.{entry.value}"]
        if entry.keyword == "switch" and entry.value not in gpd.features:
            yield f"line {entry.line}: *switch: unknown feature {entry.value}"
        elif entry.keyword == "switch":
            names = [f"{entry.value}.{c.value}" for c in find(entry.kids, "case")]
        yield from (f"line {entry.line}: unknown option {n}" for n in names if n not in known)
    commands = {name for name, _ in gpd.in_force()[1]}
    yield from (f"missing command {n}" for n in ("CmdCR", "CmdLF", "CmdFF") if n not in commands)


def bit_images(gpd):
    """Each resolution's ESC * against its *DPI, its passes and the head's pins and reach."""
    if gpd.in_force()[0].get("OutputDataFormat") != "V_BYTE":
        yield "*OutputDataFormat: ESC * takes the dots of a column in bytes, top down: V_BYTE"
    for resolution in gpd.options("Resolution"):
        where = f"Resolution.{resolution}"
        attributes, commands = gpd.in_force(Resolution=resolution)
        send = [command_parts(c["Cmd"]) for name, c in commands if name == "CmdSendBlockData"]
        head, *parameters = (send or [[b""]])[0]
        if any(k not in attributes for k in ("DPI", "TextDPI", "SpotDiameter")) or \
                head[:2] != b"\x1b*" or len(head) != 3 or head[2] not in DENSITIES:
            yield f"{where}: needs *DPI, *TextDPI, *SpotDiameter and an ESC * m of the printer"
            continue
        (x, y), m = pair(attributes["DPI"]), head[2]
        across, pins, pitch, adjacent = DENSITIES[m]
        physical = int(attributes.get("PinsPerPhysPass", 1))
        passes = Fraction(int(attributes.get("PinsPerLogPass", 1)), physical)
        form, limits, expression = parameters[0] if len(parameters) == 1 else ("", None, "0")
        if not adjacent:
            yield f"{where}: ESC * {m} does not print dots next to each other"
        if across != x:
            yield f"{where}: ESC * {m} prints {across} dots an inch across, *DPI {x}"
        if physical != pins:
            yield f"{where}: *PinsPerPhysPass {physical}; ESC * {m} prints {pins} a column"
        if pitch * passes != y:
            yield f"{where}: {passes} passes of dots 1/{pitch} inch apart are not {y} dpi"
        if form != "l" or evaluate(expression, {"NumOfDataBytes": pins // 8 * 1000}) != 1000:
            yield f"{where}: ESC * counts columns of {pins // 8} bytes, in two bytes low first"
        if not limits or limits[1] < REACH * across // 360:
            yield f"{where}: the column count stops short of the head's reach"


def cursor_moves(gpd):
    """Each move's divisor against the master units, the move unit and the printer's unit."""
    attributes, commands = gpd.in_force()
    for name, command in ((n, c) for n, c in commands if re.match(r"Cmd[XY]Move", n)):
        head, *parameters = command_parts(command["Cmd"]) + (b"",)
        axis, unit, largest, line_feed = MOVES.get(head, ("", 0, 0, False))
        if axis != name[3] or not isinstance(parameters[0], tuple):
            yield f"{name}: not a {name[3]} move of the printer"
            continue
        form, limits, expression = parameters[0]
        inch = dict.fromkeys(("DestX", "DestXRel", "DestY", "DestYRel"), gpd.master[axis == "Y"])
        sent = evaluate(expression, inch)
        if sent != unit:
            yield f"{name}: an inch is sent as {sent}; the printer counts 1/{unit} inch"
        if attributes.get(f"{axis}MoveUnit") != str(unit):
            yield f"*{axis}MoveUnit: the printer moves in 1/{unit} inch"
        if not limits or limits[1] > largest or axis == "X" and limits[1] * 360 < REACH * unit:
            yield f"{name}: the range must cover the head's reach and stay within {largest}"
        if line_feed and parameters[1:] != [b"\n", b""]:
            yield f"{name}: the line spacing it sets moves the paper only with an LF after it"


def paper(gpd):
    """Every size on every path: the printable area, and the form length the size sets."""
    for size in gpd.options("PaperSize"):
        for path in gpd.options("InputBin"):
            if f"InputBin.{path}" in gpd.constraints("PaperSize", size) or \
                    f"PaperSize.{size}" in gpd.constraints("InputBin", path):
                continue
            where = f"PaperSize.{size} on {path}"
            if path not in PATHS:
                yield f"{where}: InputBin.{path} is not a paper path of the printer"
                continue
            attributes = gpd.in_force(PaperSize=size, InputBin=path)[0]
            page, left, top, right, bottom = printable(gpd, size, attributes)
            end, top, below = (Fraction(v * 360, gpd.master[axis > 0]) for axis, v in
                               enumerate((right, top, page[1] - bottom)))
            if left < 0 or right > page[0] or below < 0:
                yield f"{where}: the printable area leaves the page"
            if end > REACH:
                yield f"{where}: the printable area ends at {end}/360 inch, past the head's {REACH}"
            if PATHS[path] == "friction" and (top < FRICTION_TOP or below < FRICTION_BOTTOM):
                yield (f"{where}: the printable area leaves {top}/360 inch at the top and {below}"
                       f" at the bottom; the rollers hold {FRICTION_TOP} and {FRICTION_BOTTOM}")
        yield from form_length(gpd, size)


def printable(gpd, size, attributes):
    """The page (the custom size's largest) and its printable area's edges, in master units."""
    if size == "CUSTOMSIZE":
        (width, length), most = pair(attributes["MaxSize"]), int(attributes["MaxPrintableWidth"])
        left = int(attributes.get("MinLeftMargin", 0))
        right = (width + most) // 2 if attributes.get("CenterPrintable?") == "TRUE" else left + most
        return ((width, length), left, int(attributes.get("TopMargin", 0)), min(right, width),
                length - int(attributes.get("BottomMargin", 0)))
    if "PageDimensions" in attributes:
        page = pair(attributes["PageDimensions"])
    elif size in STANDARD_SIZES_MM:
        page = tuple(round(mm * u / 25.4) for mm, u in zip(STANDARD_SIZES_MM[size], gpd.master))
    else:
        raise Problem(f"PaperSize.{size}: not a standard size, so it needs *PageDimensions")
    (left, top), (width, height) = (pair(attributes.get(k))
                                    for k in ("PrintableOrigin", "PrintableArea"))
    return page, left, top, left + width, top + height


def form_length(gpd, size):
    """The form length that the size's selection sets, as the printer reads it, at its page
    length; for the custom size, at every length it allows."""
    attributes, custom = gpd.in_force(PaperSize=size)[0], size == "CUSTOMSIZE"
    (width, longest), units = printable(gpd, size, attributes)[0], gpd.master[1]
    for length in range(pair(attributes["MinSize"])[1] if custom else longest, longest + 1):
        form, page = gpd.setup((width, length), PaperSize=size), Fraction(length * 360, units)
        if form is None or form != page and (
                not custom or page % 60 == 0 or abs(form - page) * 2 > -(-page // MAX_SPACING)):
            yield f"PaperSize.{size}: the form length is {form or 'not set'}, the page {page}/360"
            return


def qualities(gpd):
    """The print qualities differ in the graphics they send, all the driver prints with."""
    seen = {}
    for entry in (e for e in gpd.root if e.keyword.endswith("QualitySettings")):
        attributes, commands = gpd.in_force(**dict(n.split(".") for n in items(entry.value)))
        sent = repr([attributes.get(k) for k in ("DPI", "PinsPerLogPass", "RequireUniDir?")] +
                    [c.get("Cmd") for n, c in commands if n == "CmdSendBlockData"])
        if (same := seen.setdefault(sent, entry.keyword)) != entry.keyword:
            yield f"*{same} and *{entry.keyword} print the same page"


def check(text):
    try:
        gpd, problems = Gpd(text), []
    except Problem as problem:
        return [str(problem)]
    for rule in (structure, bit_images, cursor_moves, paper, qualities):
        try:
            problems += rule(gpd)
        except (Problem, KeyError, IndexError, ValueError, NameError) as error:
            problems.append(f"{rule.__name__} stops at {error!r}")
    return problems


def load(path):
    """The GPD's text: the checks read only its ASCII, whatever the code page of its names."""
    with open(path, encoding="latin-1") as file:
        return file.read()


if __name__ == "__main__":
    found = check(load(sys.argv[1]))
    print("\n".join(found) or f"{sys.argv[1]}: no problems")
    sys.exit(1 if found else 0)
