// A service worker that adds the headers making the page cross-origin isolated, which the
// engine's threads (SharedArrayBuffer) need, so that any static web server can serve the game.
self.addEventListener('install', () => self.skipWaiting());
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));
self.addEventListener('fetch', (event) => {
  const request = event.request;
  // Only the page and the engine's workers need the headers. The engine and the game are
  // same-origin, which require-corp lets through as they are, and they arrive sooner straight
  // from the network than streamed through here.
  if (request.mode !== 'navigate' && request.destination !== 'worker') return;
  if (request.cache === 'only-if-cached' && request.mode !== 'same-origin') return;
  event.respondWith(fetch(request).then((response) => {
    if (response.status === 0) return response;
    const headers = new Headers(response.headers);
    headers.set('Cross-Origin-Opener-Policy', 'same-origin');
    headers.set('Cross-Origin-Embedder-Policy', 'require-corp');
    headers.set('Cross-Origin-Resource-Policy', 'cross-origin');
    return new Response(response.body, { status: response.status, statusText: response.statusText, headers });
  }));
});
