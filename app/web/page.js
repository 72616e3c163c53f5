// The page's own behaviour, at the start of drifton.js (given to Emscripten
// as --pre-js), so that the page has no inline script for a strict content
// policy to refuse.

// A double click (a double tap) toggles the browser's full screen; the
// program then draws at the screen's shorter side, starting from black.
document.getElementById('canvas').addEventListener('dblclick', function(event) {
  event.preventDefault();
  if (document.fullscreenElement) {
    document.exitFullscreen();
  } else if (event.target.requestFullscreen) {
    event.target.requestFullscreen();
  }
});

// Kept for use with no network by the service worker beside the page, whose
// scope is the page's folder wherever it is served. Without one (an origin
// that is not secure, a browser without workers) the page runs as before.
if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('service-worker.js').catch(function(error) {
    console.warn('drifton: cannot keep the page for use offline: ' + error);
  });
}
