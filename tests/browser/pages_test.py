"""Pages made by the real program, checked with tidy and in headless Chromium.

Environment (set by CTest): KRN_TEMPLATES (the shipped templates), KRN_SAMPLES (sample
scenes), KRN_CONVERT (the command-line converter), KRN_ARTIFACTS (screenshots),
KRN_CHROMIUM (the browser).
"""

import html.parser
import os
import re
import subprocess
import sys
import tempfile
import unittest
import urllib.parse
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chromium  # noqa: E402
import page_maker  # noqa: E402

DESKTOP = (1024, 768)
PHONE = (390, 844)
RESERVED = ("FILENAME", "BUILD", "FORMSDATA")
DELIMITER = "((KWB))"

# Animation names a scene may hold that break naive quoting in HTML or in script.
TRICKY_NAMES = [
    "Spin", 'Say "hi"', "it's", "R&D", "<b>bold</b>", "x&amp;y", "back\\slash",
    "C:\\temp\\new", "a'b\"c<d>&e\\f", "</script><script>alert(1)</script>",
    "Café crème", "日本語の名前", "🎬 clap", "  spaced  ", "tab\there",
    "line\nbreak", "carriage\rreturn",
    "ends with backslash\\", "%41%20#frag?q=1",
]


def xml_attribute(text):
    """Text as a double-quoted XML attribute value, whitespace kept as written."""
    for plain, escaped in (("&", "&amp;"), ("<", "&lt;"), (">", "&gt;"), ('"', "&quot;"),
                           ("\n", "&#10;"), ("\r", "&#13;"), ("\t", "&#9;")):
        text = text.replace(plain, escaped)
    return '"%s"' % text


def write_scene(path, names):
    """A scene whose timeline lists names in order; every third one loops (Start/Stop),
    every other one is a one-shot trigger, and one animation that runs by itself."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<KRSScene>",
             '  <KRSTimeline Name="Main">',
             '    <KRSTimeElem Name="Auto" On="1" Clamp="0"/>']
    for i, name in enumerate(names):
        clamp = ' Clamp="0"' if i % 3 == 0 else (' Clamp="1"' if i % 3 == 2 else "")
        lines.append("    <KRSTimeElem Name=%s On=\"0\"%s/>" % (xml_attribute(name), clamp))
    lines += ["  </KRSTimeline>", "</KRSScene>", ""]
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))
    return path


def read_int(text):
    """The decimal reading of an attribute: leading blanks, a sign, digits; 0 without."""
    match = re.match(r"\s*([+-]?\d*)", text)
    digits = match.group(1)
    return int(digits) if digits.lstrip("+-") else 0


def expected_calls(scene):
    """(label, function, name) per button, read from the scene file itself."""
    calls = []
    for element in ElementTree.parse(scene).iter("KRSTimeElem"):
        name, on, clamp = (element.get(a) for a in ("Name", "On", "Clamp"))
        if not name or not on or read_int(on) != 0:
            continue
        if clamp and read_int(clamp) < 1:
            calls += [("Start " + name, "startanimation", name),
                      ("Stop " + name, "stopanimation", name)]
        else:
            calls.append((name, "triggeranimation", name))
    return calls


def first_difference(got, expected):
    """Where two lists part: the index and both items there."""
    for i, (a, b) in enumerate(zip(got, expected)):
        if a != b:
            return "at %d: %r, expected %r" % (i, a, b)
    return "%d items, expected %d" % (len(got), len(expected))


def file_url(path):
    return "file://" + urllib.parse.quote(os.path.abspath(path))


def tidy_errors(path):
    """What tidy says about a page in its error-only mode; empty for a valid page."""
    done = subprocess.run(["tidy", "-e", "-q", "--show-warnings", "yes", path],
                          capture_output=True, timeout=60)
    said = (done.stdout + done.stderr).decode("utf-8", "replace").strip()
    if done.returncode != 0 and not said:
        said = "tidy exit status %d" % done.returncode
    return said


def template_fields(text):
    """{name: has a default} for the fields of a template text (the reserved names left out)."""
    fields = {}
    for match in re.finditer(re.escape(DELIMITER) + r"(.*?)" + re.escape(DELIMITER), text,
                             re.S):
        inner = match.group(1)
        name, sep, _ = inner.partition("::")
        if name in RESERVED:
            continue
        fields[name] = fields.get(name, False) or bool(sep)
    return fields


CLICK_ALL = r"""(() => {
  const buttons = [...document.querySelectorAll('input[type=button]')];
  const log = document.querySelector('.krn-calls');
  log.textContent = '';
  for (const b of buttons) b.click();
  const fallback = log.textContent;
  const player = document.querySelector('object.krn-player');
  const calls = [];
  player.TriggerAnimation = n => calls.push(['triggeranimation', n]);
  player.StartAnimation = n => calls.push(['startanimation', n]);
  player.StopAnimation = n => calls.push(['stopanimation', n]);
  for (const b of buttons) b.click();
  delete player.TriggerAnimation; delete player.StartAnimation; delete player.StopAnimation;
  return {labels: buttons.map(b => b.value), fallback, calls};
})()"""

SCENE_REFERENCE = r"""(() => {
  const player = document.querySelector('object.krn-player');
  const param = player.querySelector('param[name=src]');
  return {data: player.data, param: param ? new URL(param.value, document.baseURI).href : ''};
})()"""


class PageCheck:
    """Loads one page and checks it; problems are collected as sentences."""

    def __init__(self, browser, page, scene):
        self.browser = browser
        self.page = page
        self.scene = scene
        self.problems = []

    def fail(self, text):
        self.problems.append("%s: %s" % (os.path.basename(self.page), text))

    def load(self):
        self.browser.call("Emulation.setDeviceMetricsOverride", width=DESKTOP[0],
                          height=DESKTOP[1], deviceScaleFactor=1, mobile=False)
        events = self.browser.open(file_url(self.page))
        reference = self.browser.evaluate(SCENE_REFERENCE)
        self.scene_url = reference["data"]
        if reference["param"] != self.scene_url:
            self.fail("the player's src parameter %r differs from its data %r"
                      % (reference["param"], self.scene_url))
        self.check_events(events)
        return self

    def check_events(self, events):
        """No console error or exception; no failed request but the scene object itself."""
        urls = {}
        for event in events:
            method, params = event["method"], event["params"]
            if method == "Network.requestWillBeSent":
                urls[params["requestId"]] = params["request"]["url"]
            elif method == "Network.loadingFailed":
                url = urls.get(params["requestId"], "?")
                if url != self.scene_url:
                    self.fail("request for %s failed: %s" % (url, params.get("errorText")))
            elif method == "Runtime.exceptionThrown":
                details = params["exceptionDetails"]
                self.fail("script error: %s" % details.get("exception", {}).get(
                    "description", details.get("text")))
            elif method == "Runtime.consoleAPICalled" and params["type"] in ("error", "assert"):
                self.fail("console error: %s" % params["args"])
            elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
                entry = params["entry"]
                if entry.get("url") != self.scene_url:
                    self.fail("console error: %s" % entry.get("text"))

    def check_scene_reference(self):
        """The player's resolved URL names the scene file."""
        parsed = urllib.parse.urlparse(self.scene_url)
        path = urllib.parse.unquote(parsed.path)
        if parsed.scheme != "file" or parsed.query or parsed.fragment:
            self.fail("the scene URL %r is not a plain file URL" % self.scene_url)
        elif not os.path.exists(path) or not os.path.samefile(path, self.scene):
            self.fail("the scene URL %r names %r, not the scene %r"
                      % (self.scene_url, path, self.scene))
        return self

    def check_buttons(self):
        """One button per listed animation with its label; each click calls its function
        with exactly the animation's name, in the fallback log and on a player."""
        expected = expected_calls(self.scene)
        got = self.browser.evaluate(CLICK_ALL)
        labels = [label for label, _, _ in expected]
        if got["labels"] != labels:
            self.fail("button labels differ " + first_difference(got["labels"], labels))
        calls = [[function, name] for _, function, name in expected]
        if got["calls"] != calls:
            self.fail("player calls differ " + first_difference(got["calls"], calls))
        fallback = "".join("%s('%s')\n" % (function, name) for _, function, name in expected)
        if got["fallback"] != fallback:
            self.fail("the fallback log differs " + first_difference(
                got["fallback"].split("\n"), fallback.split("\n")))
        self.check_events(self.browser.take_events())
        return self

    def check_phone(self, screenshot=None):
        """At phone width nothing is wider than the screen."""
        self.browser.call("Emulation.setDeviceMetricsOverride", width=PHONE[0],
                          height=PHONE[1], deviceScaleFactor=1, mobile=True)
        wide = self.browser.evaluate(
            "[document.documentElement.scrollWidth, window.innerWidth]")
        if wide[0] > wide[1]:
            self.fail("at phone width the page is %d pixels wide for a %d pixel screen"
                      % tuple(wide))
        if screenshot:
            self.browser.screenshot(screenshot, *PHONE)
        return self


class PagesBase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory(prefix="krn-pages-")
        cls.root = cls.work.name
        cls.program = page_maker.ProgramFolder(cls.root)
        cls.artifacts = os.environ.get("KRN_ARTIFACTS") or os.path.join(cls.root, "artifacts")
        os.makedirs(cls.artifacts, exist_ok=True)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def path(self, *parts):
        return os.path.join(self.root, *parts)


class TemplatesValid(PagesBase):
    def test_templates_are_valid_pages_with_defaults(self):
        self.assertGreaterEqual(len(self.program.templates), 3, self.program.templates)
        for name in self.program.templates:
            with self.subTest(template=name):
                path = os.path.join(self.program.path, "HTML Support", name)
                self.assertEqual(tidy_errors(path), "", "tidy finds faults in " + name)
                with open(path, "rb") as f:
                    text = f.read().decode("ascii")
                self.assertIn('<meta charset="utf-8">', text, name + " declares UTF-8")
                self.assertIn('name="viewport"', text, name + " sets the phone viewport")
                for key in RESERVED:
                    self.assertIn(DELIMITER + key + DELIMITER, text, name)
                missing = [f for f, has in template_fields(text).items() if not has]
                self.assertEqual(missing, [], name + ": fields without a default")

    def test_pages_are_valid(self):
        scene = write_scene(self.path("valid", "tricky.krn"), TRICKY_NAMES)
        for name in self.program.templates:
            with self.subTest(template=name):
                page = self.program.make_page(name, scene, self.path("valid", name))
                self.assertEqual(tidy_errors(page), "", "tidy finds faults in the page")


# Field values that would break a page whose template put them into an attribute value or a
# style sheet: quote marks, angle brackets, an ampersand, a semicolon and a closing brace.
TRICKY_VALUE = """He said "hi" & it's 2 < 3 > 1; a}b"""


class ElementList(html.parser.HTMLParser):
    """The start tags of a page with their attribute names, in order."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.elements = []

    def handle_starttag(self, tag, attrs):
        self.elements.append((tag, tuple(sorted(name for name, _ in attrs))))


def elements_of(path):
    parser = ElementList()
    with open(path, encoding="utf-8") as f:
        parser.feed(f.read())
    parser.close()
    return parser.elements


class FieldPlaces(html.parser.HTMLParser):
    """Where the fields of a template text stand: inside a tag (an attribute value) or inside
    a style sheet."""

    def __init__(self):
        super().__init__(convert_charrefs=False)
        self.misplaced = []
        self.in_style = False

    def check(self, text, where):
        for match in re.finditer(re.escape(DELIMITER) + r"(\w+)", text):
            if match.group(1) not in RESERVED:
                self.misplaced.append("%s in %s" % (match.group(1), where))

    def handle_starttag(self, tag, attrs):
        self.check(self.get_starttag_text() or "", "the <%s> tag" % tag)
        self.in_style = tag == "style"

    def handle_endtag(self, tag):
        self.in_style = False

    def handle_data(self, data):
        if self.in_style:
            self.check(data, "a style sheet")


class TemplateValues(PagesBase):
    def test_no_field_in_attributes_or_style_sheets(self):
        for name in self.program.templates:
            with self.subTest(template=name):
                path = os.path.join(self.program.path, "HTML Support", name)
                with open(path, encoding="utf-8") as f:
                    places = FieldPlaces()
                    places.feed(f.read())
                self.assertEqual(places.misplaced, [], name)

    def test_tricky_values_keep_the_markup(self):
        scene = write_scene(self.path("values", "scene.krn"), ["Spin", "Door"])
        for name in self.program.templates:
            with self.subTest(template=name):
                path = os.path.join(self.program.path, "HTML Support", name)
                with open(path, encoding="utf-8") as f:
                    fields = list(template_fields(f.read()))
                self.assertNotEqual(fields, [], name + " has fields to fill")
                plain = self.program.make_page(name, scene, self.path("values", "plain-" + name),
                                               {field: "Plain value" for field in fields})
                tricky = self.program.make_page(name, scene,
                                                self.path("values", "tricky-" + name),
                                                {field: TRICKY_VALUE for field in fields})
                self.assertEqual(tidy_errors(tricky), "", "tidy finds faults with " + TRICKY_VALUE)
                self.assertEqual(elements_of(tricky), elements_of(plain),
                                 "the values changed the elements of the page")
                with open(tricky, encoding="utf-8") as f:
                    self.assertIn(TRICKY_VALUE, f.read(), "the value is in the page as typed")


class BrowserPages(PagesBase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.browser = chromium.Browser(os.environ.get("KRN_CHROMIUM") or "chromium")
        for domain in ("Page", "Runtime", "Log", "Network"):
            cls.browser.call(domain + ".enable")

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        super().tearDownClass()

    def check(self, page, scene, phone_shot=None):
        result = PageCheck(self.browser, page, scene).load().check_scene_reference()
        result.check_buttons().check_phone(phone_shot)
        return result.problems

    def test_shipped_templates_with_the_sample(self):
        scene = os.path.join(os.environ["KRN_SAMPLES"], "lighthouse.krn")
        for name in self.program.templates:
            with self.subTest(template=name):
                base = os.path.splitext(name)[0]
                page = self.program.make_page(name, scene, self.path("sample", name))
                check = PageCheck(self.browser, page, scene).load().check_scene_reference()
                # After the clicks, so that the pictures show the fallback log too.
                check.check_buttons()
                self.browser.screenshot(os.path.join(self.artifacts, base + ".png"), *DESKTOP)
                check.check_phone(os.path.join(self.artifacts, base + "-phone.png"))
                self.assertEqual(check.problems, [])

    def test_tricky_names_and_many_animations(self):
        tricky = write_scene(self.path("tricky", "tricky.krn"), TRICKY_NAMES)
        many = write_scene(self.path("many", "many.krn"),
                           ["Animation %03d" % i for i in range(500)])
        self.assertEqual(len(expected_calls(many)), 500 + 167)
        for scene in (tricky, many):
            for name in self.program.templates:
                with self.subTest(scene=os.path.basename(scene), template=name):
                    page = self.program.make_page(
                        name, scene, os.path.join(os.path.dirname(scene), name))
                    self.assertEqual(self.check(page, scene), [])

    def test_scene_beside_below_and_above_the_page(self):
        # (scene, page) relative to a work folder: names with spaces, '#', '%', '?' and
        # characters outside ASCII, in both the files and the folders.
        cases = [
            ("beside/a scene.krn", "beside/page.html"),
            ("beside #1/scene #2 at 100%.krn", "beside #1/page #3 50%.html"),
            ("beside/what?.krn", "beside/why?.html"),
            ("below/models/café 5%/tür #3.krn", "below/page.html"),
            ("below/ü/日本/scene.krn", "below/seite ü.html"),
            ("above/naïve scene.krn", "above/pages/sub #x/page.html"),
            ("above/%20 literal.krn", "above/one/two/page.html"),
        ]
        for scene_rel, page_rel in cases:
            with self.subTest(scene=scene_rel, page=page_rel):
                scene = write_scene(self.path("where", scene_rel), ["Spin", "Café"])
                page = self.path("where", page_rel)
                os.makedirs(os.path.dirname(page), exist_ok=True)
                self.program.make_page("generic.html", scene, page)
                check = PageCheck(self.browser, page, scene).load().check_scene_reference()
                self.assertEqual(check.check_buttons().problems, [])

    def test_typed_values_outside_ascii(self):
        scene = write_scene(self.path("typed", "Café.krn"), ["Spin"])
        values = {"TITLE": "Café – Ünïcode ✓ 日本", "AUTHOR": "Zoë Ørsted"}
        page = self.program.make_page("presentation.html", scene,
                                      self.path("typed", "page.html"), values)
        check = PageCheck(self.browser, page, scene).load().check_scene_reference()
        self.assertEqual(check.problems, [])
        self.assertEqual(self.browser.evaluate("document.title"), values["TITLE"])
        self.assertEqual(self.browser.evaluate("document.querySelector('h1').textContent"),
                         values["TITLE"])
        self.assertEqual(self.browser.evaluate(
            "document.querySelector('.byline').textContent"), "by " + values["AUTHOR"])


if __name__ == "__main__":
    unittest.main()
