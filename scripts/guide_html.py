#!/usr/bin/env python3
"""Turns the user's guide (docs/guide-ja.md) into one HTML page for the release. Only the
Markdown the guide uses is understood: headings, paragraphs, lists, tables, images, links,
inline code and bold. Every text is HTML-escaped.

Usage: guide_html.py GUIDE.md OUT.html [IMAGE_FOLDER]
IMAGE_FOLDER: where the page finds the guide's pictures ("images" unless given).
"""
import html
import re
import sys

STYLE = """body { font-family: "Yu Gothic UI", "Meiryo", sans-serif; max-width: 52em; margin: 2em auto;
  padding: 0 1em; line-height: 1.7; color: #222; }
img { max-width: 100%; border: 1px solid #ccc; }
table { border-collapse: collapse; } th, td { border: 1px solid #ccc; padding: 0.2em 0.8em; }
code { background: #f3f3f3; padding: 0 0.2em; }"""


def inline(text):
    out = html.escape(text, quote=True)
    out = re.sub(r"`([^`]+)`", r"<code>\1</code>", out)
    out = re.sub(r"\*\*([^*]+)\*\*", r"<strong>\1</strong>", out)
    out = re.sub(r"!\[([^\]]*)\]\(([^)]+)\)", r'<img alt="\1" src="\2">', out)
    out = re.sub(r"\[([^\]]+)\]\(([^)]+)\)", r'<a href="\2">\1</a>', out)
    return out


def convert(lines):
    body, paragraph, items, table = [], [], None, []

    def flush():
        nonlocal paragraph, items, table
        if paragraph:
            body.append("<p>" + inline(" ".join(paragraph)) + "</p>")
        if items:
            tag = items[0]
            body.append(f"<{tag}>" + "".join(f"<li>{inline(i)}</li>" for i in items[1:]) + f"</{tag}>")
        if table:
            rows = [[c.strip() for c in row.strip().strip("|").split("|")] for row in table]
            head, rest = rows[0], [r for r in rows[1:] if not all(set(c) <= set("-: ") for c in r)]
            body.append("<table><tr>" + "".join(f"<th>{inline(c)}</th>" for c in head) + "</tr>" +
                        "".join("<tr>" + "".join(f"<td>{inline(c)}</td>" for c in r) + "</tr>" for r in rest) +
                        "</table>")
        paragraph, items, table = [], None, []

    for line in lines:
        line = line.rstrip("\n")
        heading = re.match(r"(#{1,3}) (.*)", line)
        bullet = re.match(r"- (.*)", line)
        number = re.match(r"\d+\. (.*)", line)
        if heading:
            flush()
            level = len(heading.group(1))
            body.append(f"<h{level}>{inline(heading.group(2))}</h{level}>")
        elif line.startswith("|"):
            if not table:
                flush()
            table.append(line)
        elif bullet or number:
            tag = "ul" if bullet else "ol"
            if paragraph or table or (items and items[0] != tag):
                flush()
            if not items:
                items = [tag]
            items.append((bullet or number).group(1))
        elif not line.strip():
            flush()
        else:
            if items or table:
                flush()
            paragraph.append(line.strip())
    flush()
    return body


def main():
    source, target = sys.argv[1:3]
    images = sys.argv[3] if len(sys.argv) > 3 else "images"
    with open(source, encoding="utf-8") as f:
        lines = f.readlines()
    title = lines[0].lstrip("# ").strip() if lines else "Kasumiro"
    page = ['<!DOCTYPE html>', '<html lang="ja">', "<head>", '<meta charset="UTF-8">',
            f"<title>{html.escape(title)}</title>", f"<style>\n{STYLE}\n</style>", "</head>", "<body>"]
    page += [line.replace('src="images/', f'src="{images}/') for line in convert(lines)]
    page += ["</body>", "</html>", ""]
    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(page))


if __name__ == "__main__":
    main()
