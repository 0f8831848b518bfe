# An error in the definition block still ends through the orderly shutdown: the settings file is
# written, and nothing is left in the runtime folder.
import os
import sys

if not os.path.exists(os.path.join(sys.argv[1], "envdata")):
    print("envdata was not written")
    sys.exit(1)
runtime = os.path.join(os.path.dirname(sys.argv[1]), "xdg_runtime_dir", "velmio")
if os.path.exists(runtime):
    print("runtime folder left:", os.listdir(runtime))
    sys.exit(1)
