// The month pages of the album. A movie is shown as its poster, a frame of it: the page
// loads no movie at all until one is pressed, and only then makes its player, in the poster's
// place, which starts at once. A press with a modifier key (a new tab, say) follows the link
// to the viewer as any link does; so does a page without this script.
"use strict";

// "../../" and path segments below it, as the month page writes a movie's place; null for
// anything else.
function monthRelativePath(value) {
  if (typeof value !== "string" || !value.startsWith("../../")) return null;
  const segments = value.slice(6).split("/");
  const bad = (segment) =>
    segment === "" || segment === "." || segment === ".." || segment.includes("\\") ||
    /^[a-zA-Z][a-zA-Z0-9+.-]*:/.test(segment) || /[\u0000-\u001f\u007f]/.test(segment);
  return segments.some(bad) ? null : value;
}

function playInPlace(link, event) {
  if (event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey || event.altKey) return;
  const source = monthRelativePath(link.getAttribute("data-movie"));
  const poster = link.querySelector("img");
  if (source === null || poster === null) return;
  event.preventDefault();
  const player = document.createElement("video");
  player.className = "movie_player";
  player.controls = true;
  player.preload = "none";
  player.poster = poster.src;
  player.src = source;
  player.setAttribute("playsinline", "");
  player.setAttribute("aria-label", poster.alt);
  link.replaceWith(player);
  player.focus();
  // Started by the press itself: the browser lets it play with its sound.
  const started = player.play();
  if (started) started.catch(() => {});
}

document.addEventListener("DOMContentLoaded", () => {
  for (const link of document.querySelectorAll("a.movie_link")) {
    link.addEventListener("click", (event) => playInPlace(link, event));
  }
});
