// The viewer pages of the album. Their query comes from a link in a month page, but a page
// can be opened with any query at all: every value is treated as data. A file is shown only
// when it names a relative path inside the output folder, a map only for numbers in range,
// and every text goes into the page as text, never as markup. The picture viewer shows a file
// only as its month's list has it: the query names the month, the place and the file, and
// what is shown of that file (the album's own picture of it, its position, a movie's poster, a
// Live Photo's movie) is the list's, so that no link can show one picture under another's
// name. A movie is a file of the list as a picture is, shown with its player.
"use strict";

// The map service the month pages link to; only latitude and longitude are filled in.
const MAP_SERVICE = "https://maps.google.co.jp/maps?f=q&hl=ja&ie=UTF8&z=19&iwloc=A&q=loc:";

const query = new URLSearchParams(window.location.search);

// "../" and path segments below it, as the month pages write a file's place relative to the
// album folder; null for anything else (an absolute address, a scheme, a climb out of the
// output folder, control characters).
function relativeFilePath(value) {
  if (typeof value !== "string" || !value.startsWith("../")) return null;
  const segments = value.slice(3).split("/");
  const bad = (segment) =>
    segment === "" || segment === "." || segment === ".." || segment.includes("\\") ||
    /^[a-zA-Z][a-zA-Z0-9+.-]*:/.test(segment) || /[\u0000-\u001f\u007f]/.test(segment);
  if (segments.some(bad)) return null;
  // Each segment as a URL would carry it: "#", "?", "%" and the like are part of the name.
  return "../" + segments.map(encodeURIComponent).join("/");
}

// The album's own picture of a file browsers do not show (a photo of the HEIF family), as a
// month page names it: "thumb/" and the segments of a JPEG's place below the album folder;
// null for anything else.
function albumPicturePath(value) {
  if (typeof value !== "string" || !/^thumb\/[0-9]{4}\/[0-9]{8}_[0-9]+_view\.jpg$/.test(value)) return null;
  return value;
}

// A movie's poster, as a month page names it: its thumbnail below the album folder.
function posterPath(value) {
  if (typeof value !== "string" || !/^thumb\/[0-9]{4}\/[0-9]{8}_[0-9]+\.jpg$/.test(value)) return null;
  return value;
}

// What names the file of a query or of a list's entry: a picture's "img", a movie's "movie".
function fileKey(values) {
  return values.has("movie") && !values.has("img") ? "movie" : "img";
}

function coordinate(value, limit) {
  if (typeof value !== "string" || !/^-?\d{1,3}(\.\d{1,12})?$/.test(value)) return null;
  const number = Number(value);
  return Number.isFinite(number) && Math.abs(number) <= limit ? number : null;
}

// values: the query of unknown.html, or a picture's entry in its month's list.
function showMap(link, values) {
  if (values.get("map") !== "1") return;
  const latitude = coordinate(values.get("lat"), 90);
  const longitude = coordinate(values.get("lon"), 180);
  if (latitude === null || longitude === null) return;
  link.href = MAP_SERVICE + latitude.toFixed(6) + "," + longitude.toFixed(6);
  link.hidden = false;
}

function lastSegment(path) {
  const parts = path.split("/");
  return parts[parts.length - 1];
}

// The month page that opened the viewer ("2024/202405") and the picture's place in its order.
function monthPage(value) {
  return typeof value === "string" && /^[0-9]{4}\/[0-9]{6}$/.test(value) ? value : null;
}

function pictureNumber(value) {
  return typeof value === "string" && /^[0-9]{1,7}$/.test(value) ? Number(value) : null;
}

// The viewer of picture `at` of the month's list, as its month page links it, or null when
// there is none. Only the values of such a link are taken from the list; the viewer it opens
// checks them against the list again, as it does any query.
function pictureAddress(queries, page, at) {
  if (at < 0 || at >= queries.length || typeof queries[at] !== "string") return null;
  const taken = new URLSearchParams(queries[at]);
  const kept = new URLSearchParams();
  for (const key of ["img", "movie", "view", "map", "lat", "lon"]) {
    if (taken.has(key)) kept.set(key, taken.get(key));
  }
  kept.set("page", page);
  kept.set("at", String(at));
  return "picture.html?" + kept.toString();
}

// The month's list, as a script beside its page (which a page opened from the disk may load
// where it may not read a file): done is called with its queries and what is known of each
// (an empty list when it has none), or with null when the month is not one the album names or
// its list does not load.
function loadMonthList(page, done) {
  if (page === null) {
    done(null, []);
    return;
  }
  const list = document.createElement("script");
  list.src = page + ".pictures.js";
  list.addEventListener("load", () => {
    const queries = window.albumPictureQueries;
    const facts = window.albumPictureFacts;
    done(Array.isArray(queries) ? queries : null, Array.isArray(facts) ? facts : []);
  });
  list.addEventListener("error", () => done(null, []));
  document.head.appendChild(list);
}

// Where the day a file is filed under came from, in the words of the facts panel.
const DATE_SOURCES = {
  camera: "カメラ",
  sidecar: "付属の情報ファイル",
  name: "ファイル名",
  lastWrite: "更新日時",
};

// The facts panel's rows: label, and the text of the entry's values. Only strings are taken,
// each as text: a camera's name or any other value from a file never becomes markup.
function factRows(entry) {
  const text = (key) => (Object.prototype.hasOwnProperty.call(entry, key) && typeof entry[key] === "string" ? entry[key] : null);
  const rows = [];
  const add = (label, value, note) => {
    if (value !== null && value !== "") rows.push({ label, value, note: note || null });
  };
  const source = text("source");
  add("撮影日時", text("taken"));
  if (text("taken") !== null && source !== null && Object.prototype.hasOwnProperty.call(DATE_SOURCES, source)) {
    add("日時の取得元", DATE_SOURCES[source]);
  }
  add("カメラ", text("camera"));
  add("シャッター速度", text("shutter"));
  add("絞り値", text("aperture"));
  add("ISO感度", text("iso"));
  const focal35 = text("focal35");
  add("焦点距離", text("focal"), focal35 === null ? null : "35mm換算 " + focal35);
  add("画像サイズ", text("pixels") === null ? null : text("pixels") + " ピクセル");
  add("ファイルサイズ", text("bytes"));
  return rows;
}

// The panel of what the photo knows, shown and hidden by its button and the "i" key; it stays
// open from one photo to the next while the viewer pages through the month.
function setUpFacts(entry) {
  const panel = document.getElementById("facts");
  const button = document.getElementById("facts_button");
  const list = document.getElementById("facts_list");
  if (!panel || !button || !list || entry === null || typeof entry !== "object" || Array.isArray(entry)) return;
  const rows = factRows(entry);
  if (rows.length === 0) return;
  for (const row of rows) {
    const term = document.createElement("dt");
    term.textContent = row.label;
    const value = document.createElement("dd");
    value.textContent = row.value;
    if (row.note !== null) {
      const note = document.createElement("span");
      note.className = "viewer_facts_note";
      note.textContent = "（" + row.note + "）";
      value.append(note);
    }
    list.append(term, value);
  }
  const remembered = () => {
    try {
      return window.sessionStorage.getItem("albumFactsOpen") === "1";
    } catch (error) {
      return false;
    }
  };
  const show = (open) => {
    panel.hidden = !open;
    button.setAttribute("aria-expanded", open ? "true" : "false");
    try {
      window.sessionStorage.setItem("albumFactsOpen", open ? "1" : "0");
    } catch (error) {
      // A page opened from the disk may have no storage: the panel then starts closed.
    }
  };
  button.hidden = false;
  show(remembered());
  button.addEventListener("click", () => show(panel.hidden));
  document.addEventListener("keydown", (event) => {
    if ((event.key === "i" || event.key === "I") && !event.ctrlKey && !event.metaKey && !event.altKey) show(panel.hidden);
  });
}

// The place of the file (key "img" or "movie") in the month's list: at when the list has it
// there, else wherever the list has it (a link with a wrong place still pages from the file it
// shows); -1 when the list does not have it.
function placeInList(queries, key, file, at) {
  const named = (n) => {
    if (typeof queries[n] !== "string") return false;
    const entry = new URLSearchParams(queries[n]);
    return fileKey(entry) === key && entry.get(key) === file;
  };
  if (at !== null && at < queries.length && named(at)) return at;
  for (let n = 0; n < queries.length; ++n) {
    if (named(n)) return n;
  }
  return -1;
}

// The previous and next picture of the same month page, by the arrow keys, the two links and
// a swipe. Each takes the viewer's place in the history, so that going back leads to the
// month page.
function setUpPaging(queries, page, at) {
  const targets = { previous: pictureAddress(queries, page, at - 1), next: pictureAddress(queries, page, at + 1) };
  const go = (which) => {
    if (targets[which] !== null) window.location.replace(targets[which]);
  };
  for (const which of ["previous", "next"]) {
    const link = document.getElementById(which);
    if (targets[which] === null) continue;
    link.href = targets[which];
    link.hidden = false;
    link.addEventListener("click", (event) => {
      event.preventDefault();
      go(which);
    });
  }
  document.addEventListener("keydown", (event) => {
    if (event.key === "ArrowLeft") go("previous");
    if (event.key === "ArrowRight") go("next");
  });
  let touchX = null;
  document.addEventListener("touchstart", (event) => {
    touchX = event.touches.length === 1 ? event.touches[0].clientX : null;
  });
  document.addEventListener("touchend", (event) => {
    if (touchX === null || event.changedTouches.length !== 1) return;
    const moved = event.changedTouches[0].clientX - touchX;
    if (Math.abs(moved) > 60) go(moved < 0 ? "next" : "previous");
    touchX = null;
  });
}

// The picture the query names, once its month's list has it; a file the list does not have,
// or one that is no relative path inside the output folder, is not shown.
function showPicture(picture, name, message) {
  const key = fileKey(query);
  const raw = query.get(key);
  const source = relativeFilePath(raw);
  const page = monthPage(query.get("page"));
  loadMonthList(source === null ? null : page, (queries, facts) => {
    const at = queries === null ? -1 : placeInList(queries, key, raw, pictureNumber(query.get("at")));
    if (at < 0) {
      message.textContent = "表示できる写真が指定されていません。";
      message.hidden = false;
      return;
    }
    setUpFacts(at < facts.length ? facts[at] : null);
    const entry = new URLSearchParams(queries[at]);
    name.textContent = lastSegment(raw);
    document.title = lastSegment(raw) + " - 写真一覧";
    picture.alt = lastSegment(raw);
    showMap(document.getElementById("map"), entry);
    if (key === "movie") {
      showMovie(picture, source, entry, lastSegment(raw));
      setUpPaging(queries, page, at);
      return;
    }
    const live = relativeFilePath(entry.get("live"));
    if (live !== null) setUpLivePhoto(picture, live);
    // A photo the browser cannot show is shown as the album's picture of it; the file itself
    // is offered to be saved, to open in a program that reads it.
    const view = albumPicturePath(entry.get("view"));
    picture.src = view === null ? source : view;
    picture.hidden = false;
    setUpPaging(queries, page, at);
    if (view !== null) {
      const original = document.getElementById("original");
      original.href = source;
      original.setAttribute("download", lastSegment(raw));
      original.hidden = false;
    }
  });
}

// A movie of the month, with its player in the picture's place: its poster shown until it is
// started, nothing of the movie loaded before.
function showMovie(picture, source, entry, label) {
  const player = document.createElement("video");
  player.id = "movie";
  player.className = "viewer_movie";
  player.controls = true;
  player.preload = "none";
  const poster = posterPath(entry.get("poster"));
  if (poster !== null) player.poster = poster;
  player.src = source;
  player.setAttribute("playsinline", "");
  player.setAttribute("aria-label", label);
  picture.replaceWith(player);
}

// A Live Photo: the photo, and its movie played in its place without sound on a press (or a
// long touch), until the movie ends and the photo comes back.
function setUpLivePhoto(picture, source) {
  const mark = document.getElementById("live");
  mark.hidden = false;
  let player = null;
  const end = () => {
    if (player === null) return;
    player.remove();
    player = null;
    picture.hidden = false;
  };
  const play = () => {
    if (player !== null) return;
    player = document.createElement("video");
    player.id = "live_movie";
    player.className = "viewer_live";
    player.muted = true;
    player.setAttribute("playsinline", "");
    player.src = source;
    player.addEventListener("ended", end);
    player.addEventListener("error", end);
    player.addEventListener("click", end);
    picture.after(player);
    picture.hidden = true;
    const started = player.play();
    if (started) started.catch(end);
  };
  picture.addEventListener("click", play);
  mark.addEventListener("click", play);
  let held = null;
  picture.addEventListener("touchstart", () => {
    held = window.setTimeout(play, 400);
  });
  const release = () => window.clearTimeout(held);
  picture.addEventListener("touchend", release);
  picture.addEventListener("touchmove", release);
}

// Back to the page that opened the viewer, or to the index when there is none.
function goBack(event) {
  if (window.history.length > 1) {
    if (event) event.preventDefault();
    window.history.back();
  }
}

function setUp() {
  const back = document.getElementById("back");
  back.addEventListener("click", goBack);
  document.addEventListener("keydown", (event) => {
    if (event.key === "Escape" || event.key === "Backspace") goBack(event);
  });
  const message = document.getElementById("message");
  const name = document.getElementById("name");

  const picture = document.getElementById("picture");
  if (picture) {
    showPicture(picture, name, message);
    return;
  }

  showMap(document.getElementById("map"), query);
  const raw = query.get("file");
  const target = relativeFilePath(raw);
  // The page names the file it opens, by the file's own path: a separate "name" value could
  // label one file and open another, so it is never shown.
  const shown = target === null ? "" : lastSegment(raw);
  document.getElementById("file").textContent = shown;
  name.textContent = shown;
  document.title = shown + " - 写真一覧";
  const open = document.getElementById("open");
  if (target === null) {
    message.textContent = "開けるファイルが指定されていません。";
    message.hidden = false;
  } else {
    open.href = target;
    open.hidden = false;
  }
}

document.addEventListener("DOMContentLoaded", setUp);
