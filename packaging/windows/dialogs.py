"""The installer's dialogs, which finish_msi.py adds to the package, as wixl writes none: while it
works a progress bar, then a note that says it has finished, failed or been cancelled, each with
one button. German, like the program. Sizes in installer units (a twelfth of the font's height)."""

# Attributes: of a dialog, visible and modal (a dialog without Modal lets the work go on); of a
# control, visible and enabled; a progress bar in blocks, as Windows draws its own.
VISIBLE, MODAL, ENABLED, BLOCKS = 1, 2, 2, 0x10000
SHOWN = VISIBLE | ENABLED
WIDTH, HEIGHT = 260, 80
TITLE = "[ProductName] Setup"
REMOVING = 'REMOVE="ALL"'  # msiexec /x, or Remove in Apps & features


def note(dialog, text, event, removal_text=None):
    """A modal dialog: the text (another one when the product is being removed) and a button."""
    controls = [(dialog, "Text", "Text", 15, 15, WIDTH - 30, 30, SHOWN, None, text, None, None),
                (dialog, "Button", "PushButton", WIDTH - 75, HEIGHT - 27, 60, 17, SHOWN, None,
                 "Fertig", None, None)]
    conditions = []
    if removal_text:
        controls.append((dialog, "Removed", "Text", 15, 15, WIDTH - 30, 30, ENABLED, None,
                         removal_text, None, None))
        conditions = [(dialog, "Text", "Hide", REMOVING), (dialog, "Removed", "Show", REMOVING)]
    return ((dialog, 50, 50, WIDTH, HEIGHT, VISIBLE | MODAL, TITLE, "Button", "Button", "Button"),
            controls, [(dialog, "Button", "EndDialog", event, "1", 1)], conditions)


progress = ("ProgressDlg", 50, 50, WIDTH, HEIGHT, VISIBLE, TITLE, "Cancel", None, "Cancel")
progress_controls = [
    ("ProgressDlg", "Text", "Text", 15, 15, WIDTH - 30, 12, SHOWN, None,
     "[ProductName] wird installiert …", None, None),
    ("ProgressDlg", "Removing", "Text", 15, 15, WIDTH - 30, 12, ENABLED, None,
     "[ProductName] wird entfernt …", None, None),
    ("ProgressDlg", "Bar", "ProgressBar", 15, 32, WIDTH - 30, 10, SHOWN | BLOCKS, None,
     "Fortschritt", None, None),
    ("ProgressDlg", "Cancel", "PushButton", WIDTH - 75, HEIGHT - 27, 60, 17, SHOWN, None,
     "Abbrechen", None, None)]
notes = [note("ExitDlg", "[ProductName] ist installiert. Es steht im Startmenü.", "Return",
              "[ProductName] ist entfernt."),
         note("FatalErrorDlg", "[ProductName] konnte nicht installiert werden. "
              "Es wurde nichts verändert.", "Exit"),
         note("UserExitDlg", "Die Installation wurde abgebrochen. Es wurde nichts verändert.",
              "Exit")]

# New tables: their columns as CREATE TABLE declares them.
CREATE = {
    "Dialog": "`Dialog` CHAR(72) NOT NULL, `HCentering` SHORT NOT NULL, "
              "`VCentering` SHORT NOT NULL, `Width` SHORT NOT NULL, `Height` SHORT NOT NULL, "
              "`Attributes` LONG, `Title` CHAR(128) LOCALIZABLE, `Control_First` CHAR(50) NOT NULL, "
              "`Control_Default` CHAR(50), `Control_Cancel` CHAR(50) PRIMARY KEY `Dialog`",
    "Control": "`Dialog_` CHAR(72) NOT NULL, `Control` CHAR(50) NOT NULL, `Type` CHAR(20) NOT NULL, "
               "`X` SHORT NOT NULL, `Y` SHORT NOT NULL, `Width` SHORT NOT NULL, "
               "`Height` SHORT NOT NULL, `Attributes` LONG, `Property` CHAR(72), "
               "`Text` CHAR(0) LOCALIZABLE, `Control_Next` CHAR(50), `Help` CHAR(50) LOCALIZABLE "
               "PRIMARY KEY `Dialog_`, `Control`",
    "ControlEvent": "`Dialog_` CHAR(72) NOT NULL, `Control_` CHAR(50) NOT NULL, "
                    "`Event` CHAR(50) NOT NULL, `Argument` CHAR(255) NOT NULL, "
                    "`Condition` CHAR(255), `Ordering` SHORT "
                    "PRIMARY KEY `Dialog_`, `Control_`, `Event`, `Argument`, `Condition`",
    "EventMapping": "`Dialog_` CHAR(72) NOT NULL, `Control_` CHAR(50) NOT NULL, "
                    "`Event` CHAR(50) NOT NULL, `Attribute` CHAR(50) NOT NULL "
                    "PRIMARY KEY `Dialog_`, `Control_`, `Event`",
    "ControlCondition": "`Dialog_` CHAR(72) NOT NULL, `Control_` CHAR(50) NOT NULL, "
                        "`Action` CHAR(50) NOT NULL, `Condition` CHAR(255) NOT NULL "
                        "PRIMARY KEY `Dialog_`, `Control_`, `Action`, `Condition`",
    "TextStyle": "`TextStyle` CHAR(72) NOT NULL, `FaceName` CHAR(32) NOT NULL, "
                 "`Size` SHORT NOT NULL, `Color` LONG, `StyleBits` SHORT PRIMARY KEY `TextStyle`",
}
# Rows: table, its columns, the rows.
ROWS = [
    ("Dialog", None, [progress] + [dialog for dialog, _, _, _ in notes]),
    ("Control", None, progress_controls + [c for _, controls, _, _ in notes for c in controls]),
    ("ControlEvent", None, [("ProgressDlg", "Cancel", "EndDialog", "Exit", "1", 1)] +
     [event for _, _, events, _ in notes for event in events]),
    ("EventMapping", None, [("ProgressDlg", "Bar", "SetProgress", "Progress")]),
    ("ControlCondition", None, [("ProgressDlg", "Text", "Hide", REMOVING),
                                ("ProgressDlg", "Removing", "Show", REMOVING)] +
     [condition for _, _, _, conditions in notes for condition in conditions]),
    ("TextStyle", None, [("Normal", "Tahoma", 8, None, 0)]),
    ("Property", ("Property", "Value"), [("DefaultUIFont", "Normal")]),
    # The progress just before the work starts; the notes at its end (-1 finished, -2 cancelled,
    # -3 failed).
    ("InstallUISequence", ("Action", "Condition", "Sequence"),
     [("ProgressDlg", None, 1299), ("ExitDlg", None, -1), ("UserExitDlg", None, -2),
      ("FatalErrorDlg", None, -3)]),
]
