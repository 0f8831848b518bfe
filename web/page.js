// The page around the game: a loading bar, the 640 x 500 frame (menu bar and screen) scaled to
// the window with its aspect kept, full screen on Alt+Enter or the button.
'use strict';
const kFrameWidth = 640;
const kFrameHeight = 500;
const canvas = document.getElementById('canvas');
const stage = document.getElementById('stage');
const statusLine = document.getElementById('status');
const fill = document.getElementById('fill');
const loading = document.getElementById('loading');

function fitToWindow() {
  const scale = Math.min(stage.clientWidth / kFrameWidth, stage.clientHeight / kFrameHeight);
  canvas.style.width = Math.floor(kFrameWidth * scale) + 'px';
  canvas.style.height = Math.floor(kFrameHeight * scale) + 'px';
}
window.addEventListener('resize', fitToWindow);
document.addEventListener('fullscreenchange', fitToWindow);
fitToWindow();

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else stage.requestFullscreen().catch(() => {});
  canvas.focus();
}
document.getElementById('fullscreen').addEventListener('click', toggleFullScreen);
// Ahead of the engine's own keyboard handling, which would otherwise see Enter.
window.addEventListener('keydown', (event) => {
  if (event.altKey && event.key === 'Enter') {
    event.preventDefault();
    event.stopImmediatePropagation();
    toggleFullScreen();
  }
}, true);

var Module = {
  canvas,
  setStatus(text) {
    // "Downloading data... (3/10)" from the loader: the bar follows it.
    const progress = text.match(/\((\d+(?:\.\d+)?)\/(\d+)\)/);
    if (progress) fill.style.width = (100 * progress[1] / progress[2]) + '%';
    if (text) statusLine.textContent = '読み込み中…';
  },
  monitorRunDependencies(left) {
    if (left === 0) fill.style.width = '100%';
  },
  postRun: [() => {
    loading.style.display = 'none';
    canvas.focus();
  }],
  onExit(code) {
    loading.style.display = 'block';
    fill.parentElement.style.display = 'none';
    statusLine.textContent = code === 0 ? 'ゲームは終了しました。' : 'ゲームはエラーで終了しました。';
  },
  printErr(text) { console.warn(text); },
};

// Leaving the page while a save is still on its way into browser storage would lose it: the
// browser asks the player first.
window.addEventListener('beforeunload', (event) => {
  if (Module.velmioPersist && !Module.velmioPersist.settled()) {
    event.preventDefault();
    event.returnValue = '';
  }
});

function load(source) {
  const script = document.createElement('script');
  script.src = source;
  script.async = false;
  document.body.appendChild(script);
}

// This build's mark, written here and after page.js in index.html by scripts/web, goes with every
// file the page fetches: a browser that kept an earlier build's files in its cache (a static
// server says nothing of how long to keep them) fetches this build's instead of mixing the two,
// and an author who rebuilds sees the new game on reloading the page.
const kBuild = '@BUILD@';
Module.locateFile = (path, prefix) => (prefix || '') + path + '?' + kBuild;
load('game.js?' + kBuild);
load('velmio.js?' + kBuild);
