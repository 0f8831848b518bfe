// The engine's side of the page: the game folder comes preloaded at /game (game.js), and what the
// game writes (saves, "gloval.sav", "envdata", "Velmflog.dat") goes to the data folder, which
// lives in IndexedDB so that a reload keeps it.
Module['arguments'] = ['/game'];
// Before the engine and the game have arrived, so that reading browser storage overlaps the
// downloads instead of following them.
Module['preInit'] = Module['preInit'] || [];
Module['preInit'].push(function () {
  ENV['XDG_DATA_HOME'] = '/data/share';
  ENV['XDG_CONFIG_HOME'] = '/data/config';
  ENV['XDG_RUNTIME_DIR'] = '/run';
  FS.mkdir('/data');
  FS.mkdir('/run');
  FS.mount(IDBFS, {}, '/data');
  addRunDependency('velmio-storage');
  FS.syncfs(true, function (error) {
    if (error) console.warn('velmio: the saved games cannot be read from browser storage', error);
    removeRunDependency('velmio-storage');
  });
});

var velmioInitialised = Module['onRuntimeInitialized'];
Module['onRuntimeInitialized'] = function () {
  // Read-only, so that the engine writes into the data folder instead of the packed game.
  FS.chmod('/game', 0o555);
  if (velmioInitialised) velmioInitialised();
};

// Copies the data folder into IndexedDB; one copy at a time, and one more if writes came
// meanwhile, so the last write is always kept.
Module['velmioPersist'] = (function () {
  var running = false;
  var again = false;
  function run() {
    running = true;
    again = false;
    FS.syncfs(false, function (error) {
      if (error) console.warn('velmio: the game cannot be saved in browser storage', error);
      else Module['persistedOnce'] = true;
      running = false;
      if (again) run();
    });
  }
  var persist = function () {
    if (running) again = true;
    else run();
  };
  // Whether every write so far is in browser storage (for tests: reloading before is a lost save).
  persist.settled = function () { return !running && !again; };
  return persist;
})();
