"""Pages made by the real program: a private program folder and one call per page.

The command-line converter is used when the build has it (KRN_CONVERT); otherwise the
window program's own conversion path runs on the headless desktop (KRN_HEADLESS_PAGE),
with the save dialog answered from a script. Both are the application's one conversion
core; make_page is the only place that knows which one runs.
"""

import os
import shutil
import subprocess


class ProgramFolder:
    """A copy of the program with the shipped templates in its "HTML Support"."""

    def __init__(self, root):
        self.path = os.path.join(root, "program")
        templates = os.path.join(self.path, "HTML Support")
        os.makedirs(os.path.join(self.path, "Defaults"))
        shutil.copytree(os.environ["KRN_TEMPLATES"], templates)
        self.program = os.path.join(self.path, "krn2html")
        shutil.copy2(os.environ["KRN_PROGRAM"], self.program)
        self.convert = None
        if os.environ.get("KRN_CONVERT"):
            self.convert = os.path.join(self.path, "krn2html-convert")
            shutil.copy2(os.environ["KRN_CONVERT"], self.convert)
        self.templates = sorted(n for n in os.listdir(templates) if n.endswith(".html"))

    def make_page(self, template, scene, page, fields=None):
        """Converts scene into page with template and field values; fails on any error."""
        os.makedirs(os.path.dirname(page), exist_ok=True)
        values = ["%s=%s" % item for item in (fields or {}).items()]
        if self.convert:
            command = [self.convert, "--no-saved-values", "-t", template, "-o", page]
            for value in values:
                command += ["-s", value]
            command.append(scene)
        else:
            command = [os.environ["KRN_HEADLESS_PAGE"], self.program, template, scene, page,
                       *values]
        done = subprocess.run(command, capture_output=True, timeout=120)
        if done.returncode != 0 or not os.path.exists(page):
            raise AssertionError("making %s failed (exit %d): %s"
                                 % (page, done.returncode,
                                    done.stderr.decode("utf-8", "replace")))
        return page
