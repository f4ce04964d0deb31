#!/usr/bin/python3
"""Finishes the page's folder after the link.
  finish_page.py embed CORE_JS CORE_WASM OUT_JS   the WebAssembly inside the script, as a string of
      one character per byte: one file fewer to go missing, a page that opens from disk, and barely
      larger gzipped than the bytes themselves (base64 would add a quarter).
  finish_page.py stamp TEMPLATE PAGE_DIR FILE...   the service worker, with the SHA-256 of each of
      the page's other files: a build is known by its content, not by its version number."""
import hashlib
import json
import pathlib
import sys

# Characters a double-quoted string literal cannot hold as they are.
ESCAPES = {ord("\\"): "\\\\", ord('"'): '\\"', ord("\n"): "\\n", ord("\r"): "\\r"}


def embed(core_js, core_wasm, out_js):
    wasm = pathlib.Path(core_wasm).read_bytes()
    text = "".join(ESCAPES.get(byte, chr(byte)) for byte in wasm)
    script = pathlib.Path(core_js).read_text(encoding="utf-8").rstrip("\n")
    # A server that declares another character set than UTF-8 would hand over other bytes.
    script += f"""
createConverter = ((create, wasm, length) => () => {{
  if (wasm.length !== length) {{
    throw new Error('converter.js kam nicht als UTF-8 an: der Server nennt einen anderen Zeichensatz.');
  }}
  const wasmBinary = new Uint8Array(length);
  for (let i = 0; i < length; ++i) wasmBinary[i] = wasm.charCodeAt(i);
  return create({{wasmBinary}});
}})(createConverter, "{text}", {len(wasm)});
"""
    pathlib.Path(out_js).write_text(script, encoding="utf-8")


def stamp(template, page_dir, *files):
    page = pathlib.Path(page_dir)
    # The first 128 bits of each digest tell builds apart; the rest would only weigh.
    digests = {name: hashlib.sha256((page / name).read_bytes()).hexdigest()[:32] for name in files}
    listed = json.dumps(digests, indent=2, sort_keys=True)
    build = hashlib.sha256(listed.encode()).hexdigest()[:16]
    worker = pathlib.Path(template).read_text(encoding="utf-8")
    worker = worker.replace("@PAGE_DIGESTS@", listed).replace("@PAGE_BUILD@", build)
    (page / "service-worker.js").write_text(worker, encoding="utf-8")


if __name__ == "__main__":
    {"embed": embed, "stamp": stamp}[sys.argv[1]](*sys.argv[2:])
