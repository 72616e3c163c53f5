// The page's own behaviour, run before the program: from the page's own
// script file, so that a policy that refuses inline scripts leaves it be.

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
