#!/usr/bin/env python3
"""Writes the Win32 dialog templates of the desktop program from the layouts.

    rc_from_dlg.py DIALOGS_DIR OUT.rc

Every res/dialogs/*.dlg with a header of kind main, popup, modeless or child
becomes a DIALOGEX template named QUILLON_<NAME> (the file name in
capitals), so that no generated name can meet a macro of the system headers.
A layout of kind "part" is placed into the window PLACED names for it. The
control styles follow the rules the Win32 view's layout test checks:
tab stops on what takes input, a group on every such control and on the
first radio button of a run (labels and frames between radio buttons start
no group, or the run would stop being exclusive).
"""
import pathlib
import sys

# Parts placed into another window on Windows, moved by (dx, dy): the COM
# page has no device row there, so its reset row moves up by that row.
PLACED = {"com_page": [("com_reset", 0, -18)]}

WINDOW_STYLES = {
    "main": "DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX",
    "popup": "DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU",
    "modeless": "DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION",
    "child": "DS_SHELLFONT | WS_CHILD | WS_DISABLED | WS_CAPTION",
}


def split_fields(line):
    fields, field, quoted = [], "", False
    for c in line:
        if c == '"':
            quoted = not quoted
        if c == "," and not quoted:
            fields.append(field.strip())
            field = ""
        else:
            field += c
    fields.append(field.strip())
    return fields


def unquote(field):
    return field[1:-1].replace('""', '"')


def read_layout(path):
    header, controls = None, []
    for raw in path.read_text(encoding="utf-8").splitlines():
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        f = split_fields(line)
        if f[0] == "dialog":
            header = (int(f[1]), int(f[2]), unquote(f[3]), f[4])
            continue
        controls.append({
            "kind": f[0], "id": int(f[1]), "x": int(f[3]), "y": int(f[4]),
            "w": int(f[5]), "h": int(f[6]), "caption": unquote(f[7]),
            "flags": f[8].split() if len(f) > 8 else [],
        })
    if header is None:
        sys.exit(f"{path}: no dialog line")
    return header, controls


TAKES_INPUT = {"button", "combo", "edit", "check"}


def control_class_and_style(c, group):
    kind, flags = c["kind"], c["flags"]
    style = ["WS_CHILD", "WS_VISIBLE"]
    if kind == "label":
        cls = "STATIC"
        if "icon" in flags:
            style += ["SS_ICON", "SS_CENTERIMAGE"]
        elif "bitmap" in flags:
            style += ["SS_OWNERDRAW"]
        elif "center" in flags:
            style += ["SS_CENTER", "SS_CENTERIMAGE"]
        elif "wordwrap" in flags:
            style += ["SS_LEFT"]
        else:
            style += ["SS_LEFTNOWORDWRAP"]
        if "sunken" in flags:
            style += ["SS_SUNKEN"]
        if "selectable" in flags or "bitmap" in flags:
            style += ["SS_NOTIFY"]
    elif kind == "group":
        cls, style = "BUTTON", style + ["BS_GROUPBOX"]
    elif kind == "progress":
        cls, style = "msctls_progress32", style + ["WS_BORDER"]
    elif kind == "radio":
        cls, style = "BUTTON", style + ["BS_AUTORADIOBUTTON"]
    elif kind == "check":
        cls, style = "BUTTON", style + ["BS_AUTOCHECKBOX"]
    elif kind == "button":
        cls = "BUTTON"
        style += ["BS_DEFPUSHBUTTON" if "default" in flags else "BS_PUSHBUTTON"]
    elif kind == "combo":
        cls = "COMBOBOX"
        style += (["CBS_DROPDOWN", "CBS_AUTOHSCROLL"] if "editable" in flags
                  else ["CBS_DROPDOWNLIST"]) + ["WS_VSCROLL"]
    elif kind == "edit":
        cls = "EDIT"
        style += ["ES_AUTOHSCROLL"]
        if "center" in flags:
            style += ["ES_CENTER"]
        if "readonly" in flags:
            style += ["ES_READONLY"]
    else:
        sys.exit(f"unknown kind {kind}")
    # The dialog manager tabs into a run of radio buttons at its first one.
    if kind in TAKES_INPUT or (kind == "radio" and group):
        style += ["WS_TABSTOP"]
    if group:
        style += ["WS_GROUP"]
    return cls, style


def starts_group(controls, i):
    """A control that takes input starts a group; a radio button only when
    the last such control before it is not a radio button."""
    kind = controls[i]["kind"]
    if kind in TAKES_INPUT:
        return True
    if kind != "radio":
        return False
    for before in reversed(controls[:i]):
        if before["kind"] in TAKES_INPUT:
            return True
        if before["kind"] == "radio":
            return False
    return True


def rc_text(text):
    return '"' + text.replace('"', '""') + '"'


# A combo box's template height is its list's: the box itself is one line.
COMBO_LIST = 96


def template(name, header, controls):
    width, height, caption, kind = header
    out = [f"QUILLON_{name.upper()} DIALOGEX 0, 0, {width}, {height}",
           f"STYLE {WINDOW_STYLES[kind]}"]
    if kind != "child" or caption:
        out.append(f"CAPTION {rc_text(caption)}")
    out += ['FONT 8, "MS Shell Dlg", 0, 0, 0x1', "BEGIN"]
    for i, c in enumerate(controls):
        cls, style = control_class_and_style(c, starts_group(controls, i))
        h = c["h"] + COMBO_LIST if c["kind"] == "combo" else c["h"]
        ex = ", WS_EX_CLIENTEDGE" if c["kind"] == "edit" else ""
        caption = "" if c["kind"] in ("combo", "progress") or "icon" in c["flags"] else c["caption"]
        out.append(f'    CONTROL {rc_text(caption)}, {c["id"]}, "{cls}", {" | ".join(style)}, '
                   f'{c["x"]}, {c["y"]}, {c["w"]}, {h}{ex}')
    out.append("END")
    return "\n".join(out)


def main():
    folder, target = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    layouts = {p.stem: read_layout(p) for p in sorted(folder.glob("*.dlg"))}
    parts = ["// Generated from res/dialogs/*.dlg by rc_from_dlg.py; do not edit.",
             "#pragma code_page(65001)", "#include <windows.h>", "#include <commctrl.h>", ""]
    for name, (header, controls) in layouts.items():
        if header[3] == "part":
            continue
        placed = list(controls)
        for part, dx, dy in PLACED.get(name, []):
            for c in layouts[part][1]:
                placed.append(dict(c, x=c["x"] + dx, y=c["y"] + dy))
        parts += [template(name, header, placed), ""]
    text = "\n".join(parts)
    if not target.exists() or target.read_text(encoding="utf-8") != text:
        target.write_text(text, encoding="utf-8")


if __name__ == "__main__":
    main()
