# The voice extracted from the archive is gone from the runtime folder afterwards.
import os
import sys

runtime = os.path.join(os.path.dirname(sys.argv[1]), "xdg_runtime_dir", "velmio")
left = [name for name in os.listdir(runtime) if not name.endswith(".lock")] if os.path.isdir(runtime) else []
sys.exit("left in the runtime folder: %s" % left if left else None)
