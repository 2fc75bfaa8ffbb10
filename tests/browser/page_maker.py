"""Pages made by the real program: a private program folder and one call per page.

The pages come from the command-line converter (KRN_CONVERT), which runs the application's
one conversion core, as the window program does; make_page is the only place that knows
how the converter is called.
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
        self.convert = os.path.join(self.path, "krn2html-convert")
        shutil.copy2(os.environ["KRN_CONVERT"], self.convert)
        self.templates = sorted(n for n in os.listdir(templates) if n.endswith(".html"))

    def make_page(self, template, scene, page, fields=None):
        """Converts scene into page with template and field values; fails on any error."""
        os.makedirs(os.path.dirname(page), exist_ok=True)
        values = ["%s=%s" % item for item in (fields or {}).items()]
        command = [self.convert, "--no-saved-values", "-t", template, "-o", page]
        for value in values:
            command += ["-s", value]
        command.append(scene)
        done = subprocess.run(command, capture_output=True, timeout=120)
        if done.returncode != 0 or not os.path.exists(page):
            raise AssertionError("making %s failed (exit %d): %s"
                                 % (page, done.returncode,
                                    done.stderr.decode("utf-8", "replace")))
        return page
