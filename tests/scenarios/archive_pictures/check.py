# Pictures inside an archive registered for a Windows archive plug-in, one of them in a folder
# and decoded through the png plug-in entry; the extracted copies do not stay behind.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels

failures = expect_pixels(os.path.join(sys.argv[1], "end.png"), [
    (10, 20, "#ff8000"), (12, 23, "#ff8000"), (13, 20, "#0080ff"), (15, 23, "#0080ff"), (16, 20, "#ffffff"),
    (100, 100, "#c86432"), (101, 101, "#c86432"), (102, 102, "#ffffff"),
])
runtime = os.path.join(os.path.dirname(sys.argv[1]), "xdg_runtime_dir", "velmio")
left = [name for name in os.listdir(runtime) if not name.endswith(".lock")] if os.path.isdir(runtime) else []
if left:
    print("left in the runtime folder:", left)
    failures = 1
sys.exit(failures)
