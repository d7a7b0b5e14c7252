#!/usr/bin/env bash
# Checks a generated site of 2,000 pages (about 100 MB: pages, style sheets,
# pictures, a few broken links) with Tagwright's site check and with
# linkchecker, warm cache. Usage: bench/run-site-check-bench.sh
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
echo "Building site_check_bench in $build ..."
build_bench site_check_bench
site=$(mktemp -d /tmp/tw-site-bench.XXXXXX)
trap 'rm -rf "$site"' EXIT
python3 - "$site" <<'PY'
import os, sys, random
root = sys.argv[1]; random.seed(1)
for d in ("img", "css") + tuple(f"s{i}" for i in range(20)):
    os.makedirs(os.path.join(root, d), exist_ok=True)
for i in range(200):  # pictures: about 90 MB
    with open(os.path.join(root, "img", f"p{i}.png"), "wb") as f:
        f.write(os.urandom(450_000))
for i in range(10):
    with open(os.path.join(root, "css", f"c{i}.css"), "w") as f:
        f.write("".join(f".k{j} {{ background: url(../img/p{j % 200}.png) }}\n" for j in range(100)))
body = "<p>" + "Words of a hand-written page. " * 6 + "</p>\n"
for i in range(2000):
    folder = f"s{i % 20}"
    links = [f'<a href="../s{(i + k) % 20}/page{(i + k) % 2000}.html#top">n</a>' for k in range(1, 8)]
    pics = [f'<img src="../img/p{(i * 7 + k) % 200}.png" alt="">' for k in range(4)]
    broken = '<a href="missing.html">x</a>' if i % 400 == 0 else ""
    page = ('<!DOCTYPE html><html><head><title>p</title>'
            f'<link rel="stylesheet" href="../css/c{i % 10}.css"></head><body>\n'
            + body * 8 + "\n".join(links + pics) + broken + "</body></html>\n")
    with open(os.path.join(root, folder, f"page{i}.html"), "w") as f:
        f.write(page)
with open(os.path.join(root, "index.html"), "w") as f:
    f.write("".join(f'<a href="s{i % 20}/page{i}.html">p</a>\n' for i in range(2000)))
PY
chmod -R a+rX "$site"
du -sh "$site"
"$bench" "$site" >/dev/null   # warm the cache
"$bench" "$site"
if command -v linkchecker >/dev/null; then
  start=$(date +%s%N)
  linkchecker --no-status --no-warnings -o csv --ignore-url='^https?:' "file://$site/index.html" 2>/dev/null | grep -c ';False;' || true
  echo "linkchecker: $(( ($(date +%s%N) - start) / 1000000 )) ms"
fi
