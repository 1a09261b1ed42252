"""gpd_check_test.py VELS2.GPD: the GPD passes the check; each mistake seeded in a copy fails it.
A mistake: its message, then pairs of a text ("A...T": the first T after A) and its replacement."""
import sys

import gpd_check

MISTAKES = [
    # The three printing faults, each undone on its own.
    ("Option180x360: ESC * 40 does not print dots next to each other",
     "180 x 360 dpi", "360 x 360 dpi", "*DPI: PAIR(180, 360)", "*DPI: PAIR(360, 360)",
     "*TextDPI: PAIR(180, 360)", "*TextDPI: PAIR(360, 360)",
     'case: Option180x360...<27>" %l[0,1800]', '<28>" %l[0,3600]'),
    ("*DraftQualitySettings and *BetterQualitySettings print the same page",
     "LIST(Resolution.Option120x180)", "LIST(Resolution.Option180x180)"),
    ("PaperSize.CUSTOMSIZE on MANUAL: the printable area leaves 0/360 inch at the top",
     "*TopMargin: 60", "*TopMargin: 0", "*BottomMargin: 120", "*BottomMargin: 0"),
    # What would stop the platform loading the file.
    ("*GPDSpecVersion must be the first", "*GPDSpecVersion", "*% VELS2\n*GPDSpecVersion"),
    ("'}' is no entry", "*Feature: InputBin", "}\n*Feature: InputBin"),
    ("'{' is not closed", "*DefaultQuality: BETTERQUALITY", "*Feature: Spare\n{"),
    ("missing *MasterUnits", "*MasterUnits: PAIR(360, 360)", ""),
    ("*switch: unknown feature Resolutoin", "*switch: Resolution", "*switch: Resolutoin"),
    ("unknown option Resolution.Option360", "*case: Option180x360", "*case: Option360"),
    ("unknown option InputBin.TRACKTOR", "*DefaultOption: TRACTOR", "*DefaultOption: TRACKTOR"),
    ("unknown option PaperSize.FORM_241x39", "PaperSize.FORM_241x93)", "PaperSize.FORM_241x39)"),
    ("missing command CmdFF", "*Command: CmdFF", "*Command: CmdFormFeed"),
    ("Option180x180: needs *DPI, *TextDPI, *SpotDiameter", "*SpotDiameter: 140", ""),
    # Bit images.
    ("*OutputDataFormat", "V_BYTE", "H_BYTE"),
    ("ESC * 33 prints 120 dots an inch across, *DPI 180", "case: Option180x180...<27>", "<21>"),
    ("*PinsPerPhysPass 8; ESC * 33 prints 24", "*PinsPerPhysPass: 24", "*PinsPerPhysPass: 8"),
    ("1 passes of dots 1/180 inch apart are not 360", "PerLogPass: 48", "PerLogPass: 24"),
    ("Option120x180: ESC * counts columns of 3 bytes", "NumOfDataBytes / 3", "NumOfDataBytes / 2"),
    ("Option180x180: ESC * counts columns of 3 bytes", "%l[0,1800]", "%c[0,1800]"),
    ("Option180x180: the column count stops short", "%l[0,1800]", "%l[0,1500]"),
    # Cursor moves.
    ("CmdXMoveAbsolute: an inch is sent as 120", "DestX / 6", "DestX / 3"),
    ("*XMoveUnit: the printer moves in 1/60 inch", "*XMoveUnit: 60", "*XMoveUnit: 120"),
    ("*YMoveUnit: the printer moves in 1/360 inch", "*YMoveUnit: 360", "*YMoveUnit: 180"),
    ("CmdYMoveRelDown: an inch is sent as 180", "(DestYRel)", "(DestYRel / 2)"),
    ("CmdYMoveRelDown: the range must cover", "%c[0,255]", "%c[0,300]"),
    ("CmdXMoveAbsolute: the range must cover", "%l[0,600]", "%l[0,500]"),
    ("moves the paper only with an LF", '(DestYRel)} "<0A>"', "(DestYRel)}"),
    ("CmdYMoveRelDown: not a Y move", '"<1B>+" %c', '"<1B>j" %c'),
    # Paper.
    ("FORM_241x280 on TRACTOR: the printable area ends at 3330", "(3150, 3960)", "(3240, 3960)"),
    ("FORM_241x93 on TRACTOR: the printable area leaves the page", "(3150, 1320)", "(3150, 1330)"),
    ("A4 on MANUAL: the printable area leaves 30/360 inch at the top", "(48, 60)", "(48, 30)"),
    ("A5 on MANUAL: the printable area leaves 60/360 inch at the top and 60", "(2002, 2796)",
     "(2002, 2856)"),
    ("FORM_241x280 on MANUAL: the printable area leaves 0/360", "PaperSize.FORM_241x280, ", ""),
    ("CUSTOMSIZE on TRACTOR: the printable area ends at 3420", "Printable?: FALSE",
     "Printable?: TRUE"),
    ("CUSTOMSIZE on TRACTOR: the printable area ends at 3600", "Width: 3240", "Width: 3600"),
    ("PaperSize.FORM_241x93: not a standard size", "*PageDimensions: PAIR(3420, 1320)", ""),
    ("InputBin.CASSETTE is not a paper path", "*Option: MANUAL", "*Option: CASSETTE"),
    ("PaperSize.A4: the form length is 4200, the page 4209/360", "+<B7><1B>C<17>", "2<1B>C<46>"),
    ("PaperSize.A5: the form length is 720,", "<1B>+<F8><1B>C<0C>", "<1B>C<0C>"),
    ("PaperSize.FORM_241x140: the form length is not set", "<1B>2<1B>C<21>", "<1B>2"),
    ("PaperSize.FORM_241x280: the form length is not set", "<1B>2<1B>C<42>", "<1B>+<1E><1B>C<84>"),
    ("PaperSize.CUSTOMSIZE: the form length is",
     "(PhysPaperLength * 2 + (PhysPaperLength + 254) / 255)", "(PhysPaperLength * 2)"),
]


def seed(text, mistake):
    for find, new in zip(mistake[1::2], mistake[2::2]):
        anchor, _, find = find.rpartition("...")
        at = text.find(find, text.find(anchor))
        assert anchor in text and at >= 0, f"the GPD no longer holds {anchor}...{find}"
        text = text[:at] + new + text[at + len(find):]
    return text


def main(path):
    text, missed = gpd_check.load(path), []
    if problems := gpd_check.check(text):
        print(f"{path}:", *problems, sep="\n")
        return 1
    for mistake in MISTAKES:
        problems = gpd_check.check(seed(text, mistake))
        caught = [p for p in problems if mistake[0] in p]
        print(f"caught: {caught[0]}" if caught else f"MISSED: {mistake[0]}; got {problems}")
        missed += [] if caught else [mistake[0]]
    print(f"the GPD passes; {len(MISTAKES) - len(missed)} of {len(MISTAKES)} mistakes caught")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
