// The album as a person meets it, in a real browser: headless Chromium (the system's, driven
// by playwright-core) opens a freshly built album over file://, follows its links and checks
// that every picture loads, every player has its file, the viewers show what they were
// asked to and nothing they were not, and no page reports an error.
//
// Usage: node album_browser_test.mjs SOURCE_ROOT BUILD_DIR
// Needs BUILD_DIR/browser/node_modules (scripts/browser-deps.sh) and /usr/bin/chromium.

import { execFileSync, spawnSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const [sourceRoot, buildDir] = process.argv.slice(2);
if (!sourceRoot || !buildDir) {
  console.error("usage: node album_browser_test.mjs SOURCE_ROOT BUILD_DIR");
  process.exit(2);
}
const require = createRequire(path.join(buildDir, "browser", "package.json"));
const { chromium } = require("playwright-core");
const axeSource = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");

const work = path.join(buildDir, "album-browser");
const output = path.join(work, "out");
const album = path.join(output, "PhotoAlbum");
const screenshots = path.join(buildDir, "screenshots");
const failures = [];
const check = (ok, what) => {
  if (!ok) failures.push(what);
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
};

// Under Wine the Linux file system is drive Z:.
const windowsPath = (p) => "Z:" + p.replaceAll("/", "\\");
const runWindows = (program, ...args) =>
  execFileSync(path.join(sourceRoot, "scripts", "wine-run.sh"), [path.join(buildDir, "bin", program), ...args], {
    stdio: ["ignore", "pipe", "inherit"],
    timeout: 300000,
  }).toString();

fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(output, { recursive: true });
fs.mkdirSync(screenshots, { recursive: true });
runWindows("kasumiro_album_fixture.exe", windowsPath(output));

// An old album holding a link to a folder elsewhere: the link goes (where the system can
// remove a link at all), what it points to stays.
const precious = path.join(work, "elsewhere");
fs.mkdirSync(path.join(album, "2024"), { recursive: true });
fs.mkdirSync(precious);
fs.writeFileSync(path.join(precious, "keep.jpg"), "not the album's");
fs.symlinkSync(precious, path.join(album, "2024", "linked"));
const linked = spawnSync(path.join(sourceRoot, "scripts", "wine-run.sh"),
  [path.join(buildDir, "bin", "kasumiro-cli.exe"), "album", "--output", windowsPath(output)], { timeout: 300000 });
check(fs.existsSync(path.join(precious, "keep.jpg")), "a link in the old album is never followed");
check(linked.status === 1 || (linked.status === 0 && !fs.existsSync(path.join(album, "2024", "linked"))),
      `the build removes the link or says it could not (exit ${linked.status})`);
fs.rmSync(path.join(album, "2024", "linked"), { force: true });

const printed = runWindows("kasumiro-cli.exe", "album", "--output", windowsPath(output));
check(printed.trim() === windowsPath(album) + "\\index.html", "kasumiro-cli album names the album it built");

const browser = await chromium.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync"],
});
const context = await browser.newContext({ viewport: { width: 1200, height: 900 } });
// Nothing of the album may reach the network: the map service opens only in a new window.
await context.route(/^https?:/, (route) => route.abort());

const problems = [];
const dialogs = [];
async function open(url) {
  const page = await context.newPage();
  page.on("console", (message) => {
    if (message.type() === "error") problems.push(`${url}: console: ${message.text()}`);
  });
  page.on("pageerror", (error) => problems.push(`${url}: page error: ${error.message}`));
  page.on("dialog", async (dialog) => {
    dialogs.push(`${url}: ${dialog.message()}`);
    await dialog.dismiss();
  });
  await page.goto(url, { waitUntil: "load" });
  return page;
}
// axe-core's findings on the page that would stop or seriously hinder someone with a screen
// reader, a keyboard or weak sight.
async function accessibilityFaults(page) {
  await page.addScriptTag({ content: axeSource });
  // Without preload axe reads the page's styles as the page has them, where fetching the
  // stylesheet again is refused to a page opened from the disk.
  const violations = await page.evaluate(async () =>
    (await window.axe.run(document, { resultTypes: ["violations"], preload: false })).violations);
  return violations.filter((v) => v.impact === "serious" || v.impact === "critical")
    .map((v) => `${v.id} (${v.nodes.length}): ${v.nodes.slice(0, 3).map((n) => n.target.join(" ")).join(", ")}`);
}
const checkAccessible = async (page, what) => {
  const faults = await accessibilityFaults(page);
  check(faults.length === 0, `${what}: no serious or critical accessibility finding ${JSON.stringify(faults)}`);
};
const shot = (page, name, fullPage = false) => page.screenshot({ path: path.join(screenshots, name), fullPage });
// A page's src or href attribute (a URL, percent-encoded) as the file it names on disk.
const fileOf = (pageUrl, relative) => fileURLToPath(new URL(relative, pageUrl));
// A decoded query value (a plain relative path) as the file it names on disk.
const onDisk = (pageUrl, relative) => path.resolve(path.dirname(fileURLToPath(pageUrl)), relative);

// The index: every year, every month with files linked.
const indexUrl = pathToFileURL(path.join(album, "index.html")).href;
const index = await open(indexUrl);
await shot(index, "album_index.png");
const monthLinks = await index.$$eval(".month_list a", (links) => links.map((a) => a.getAttribute("href")));
check(monthLinks.length >= 5, `the index links the months with files (${monthLinks.length})`);
check(monthLinks.every((href) => fs.existsSync(fileOf(indexUrl, href))), "every month link leads to its page");
check((await index.title()) === "写真一覧", "the index has its title");
await checkAccessible(index, "the index");
// Each year's twelve months fill their rows at any width: 6, 4 or 3 to a row.
for (const width of [1200, 800, 390]) {
  await index.setViewportSize({ width, height: 900 });
  const rows = await index.$$eval(".month_list", (lists) => lists.map((list) => {
    const counts = new Map();
    for (const tile of list.querySelectorAll(".month_item")) {
      const top = Math.round(tile.getBoundingClientRect().top);
      counts.set(top, (counts.get(top) || 0) + 1);
    }
    return [...counts.values()];
  }));
  check(rows.every((r) => r.length > 0 && r.every((n) => n === r[0]) && r[0] * r.length === 12),
        `at ${width} pixels every year's months form full rows (${JSON.stringify(rows)})`);
  if (width === 800) await shot(index, "album_index_800.png");
}
await index.setViewportSize({ width: 1280, height: 800 });

// Every month page: thumbnails loaded, players pointing at real files, links that resolve.
const albumViews = [];
for (const href of monthLinks) {
  const monthUrl = new URL(href, indexUrl).href;
  const month = await open(monthUrl);
  // Thumbnails load as they are scrolled to, in boxes of their size from the start.
  const lazy = await month.$$eval("img.picture_item", (images) => images.every((img) =>
    img.getAttribute("loading") === "lazy" && img.getAttribute("decoding") === "async" &&
    img.getAttribute("width") === "320" && img.getAttribute("height") === "240" && img.alt !== ""));
  check(lazy, `${href}: thumbnails load lazily, with their size and a name`);
  await month.evaluate(async () => {
    for (const img of document.querySelectorAll("img.picture_item")) {
      img.scrollIntoView();
      await new Promise((done) => (img.complete ? done() : img.addEventListener("load", done, { once: true })));
    }
  });
  const thumbnails = await month.$$eval("img.picture_item", (images) =>
    images.map((img) => ({ src: img.getAttribute("src"), width: img.naturalWidth })));
  check(thumbnails.every((t) => t.width > 0), `${href}: all ${thumbnails.length} thumbnails load`);
  const media = await month.$$eval("audio, video", (players) => players.map((p) => p.getAttribute("src")));
  check(media.every((src) => fs.existsSync(fileOf(monthUrl, src))), `${href}: every player's file exists`);
  const viewers = await month.$$eval(".picture_item_wrap > a:not(.picture_list_gps_link)",
                                     (links) => links.map((a) => a.getAttribute("href")));
  const maps = await month.$$eval(".picture_list_gps_link", (links) => links.map((a) => a.getAttribute("href")));
  check(maps.every((m) => /[?&]q=loc:-?\d+\.\d{6},-?\d+\.\d{6}&/.test(m)), `${href}: ${maps.length} map links carry a position`);
  for (const viewer of viewers) {
    const target = new URL(viewer, monthUrl);
    const key = !target.pathname.endsWith("/picture.html") ? "file" : target.searchParams.has("movie") ? "movie" : "img";
    const file = target.searchParams.get(key);
    check(file !== null && fs.existsSync(onDisk(target.href, file)), `${href}: ${key}=${file} names an existing file`);
    if (target.searchParams.has("view")) albumViews.push(target.searchParams.get("view"));
  }
  if (href.endsWith("202405.html")) {
    await checkAccessible(month, href);
    await shot(month, "album_month.png", true);
    // The same grid on a phone.
    await month.setViewportSize({ width: 390, height: 844 });
    await shot(month, "album_month_phone.png");
  }
  await month.close();
}

// A picture with a position: the viewer shows it, and its map link carries the coordinates.
const mayUrl = new URL("./2024/202405.html", indexUrl).href;
const may = await open(mayUrl);
const tokyoLink = may.locator("a[href*='tokyo.jpg']");
check((await tokyoLink.count()) === 1, "the Tokyo picture has one viewer link");
await Promise.all([may.waitForURL(/picture\.html/), tokyoLink.click()]);
await may.waitForFunction(() => document.getElementById("picture").complete);
check((await may.$eval("#picture", (img) => img.naturalWidth)) === 800, "the viewer shows the picture itself");
const mapHref = await may.$eval("#map", (a) => (a.hidden ? "" : a.href));
check(mapHref.includes("loc:35.681236,139.767125"), `the viewer's map link has the position (${mapHref})`);
check((await may.textContent("#name")) === "tokyo.jpg", "the viewer names the picture");
await shot(may, "album_viewer.png");
await may.setViewportSize({ width: 390, height: 844 });
await shot(may, "album_viewer_phone.png");
check(await may.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth),
      "the viewer's bar fits a phone's width");
await may.setViewportSize({ width: 1200, height: 900 });
await checkAccessible(may, "the viewer");
// The arrows page through the month's pictures in the page's order, and the links too.
const order = await (await open(mayUrl)).$$eval(".picture_item_wrap > a:not(.picture_list_gps_link)",
  (links) => links.map((a) => new URL(a.href).searchParams.get("img")));
const shownImg = () => new URL(may.url()).searchParams.get("img");
const tokyoAt = order.indexOf(shownImg());
check(tokyoAt >= 0 && order.length >= 2, `the viewer knows its place in the month (${tokyoAt} of ${order.length})`);
const step = tokyoAt + 1 < order.length ? 1 : -1;
await Promise.all([may.waitForURL((url) => url.searchParams.get("img") === order[tokyoAt + step]),
                   may.keyboard.press(step === 1 ? "ArrowRight" : "ArrowLeft")]);
check(shownImg() === order[tokyoAt + step], `an arrow key shows the ${step === 1 ? "next" : "previous"} picture`);
await may.waitForFunction(() => document.getElementById("picture").complete);
check((await may.$eval("#picture", (img) => img.naturalWidth)) > 0, "the paged-to picture shows");
await Promise.all([may.waitForURL((url) => url.searchParams.get("img") === order[tokyoAt]),
                   may.click(step === 1 ? "#previous" : "#next")]);
check(shownImg() === order[tokyoAt], "the link back shows the picture paged from");
// A finger drawn across the picture, right to left, shows the next picture (left to right the
// previous); a short touch pages nowhere.
const swipe = (fromX, toX) => may.evaluate(([fromX, toX]) => {
  const at = (x) => [new Touch({ identifier: 1, target: document.body, clientX: x, clientY: 300 })];
  document.dispatchEvent(new TouchEvent("touchstart", { touches: at(fromX), changedTouches: at(fromX) }));
  document.dispatchEvent(new TouchEvent("touchend", { touches: [], changedTouches: at(toX) }));
}, [fromX, toX]);
await swipe(600, 580);
await may.waitForTimeout(300);
check(shownImg() === order[tokyoAt], "a short touch leaves the picture where it is");
await Promise.all([may.waitForURL((url) => url.searchParams.get("img") === order[tokyoAt + step]),
                   step === 1 ? swipe(800, 400) : swipe(400, 800)]);
check(shownImg() === order[tokyoAt + step], "a swipe shows the neighbouring picture");
await Promise.all([may.waitForURL((url) => url.searchParams.get("img") === order[tokyoAt]),
                   step === 1 ? swipe(400, 800) : swipe(800, 400)]);
check(shownImg() === order[tokyoAt], "a swipe the other way comes back");
const viewerUrl = pathToFileURL(path.join(album, "picture.html")).href;
const first = await open(viewerUrl + "?img=" + encodeURIComponent(order[0]) + "&page=2024/202405&at=0");
await first.waitForFunction(() => !document.getElementById("next").hidden);
check(await first.$eval("#previous", (a) => a.hidden), "the first picture has no previous one");
await first.close();
// A month named otherwise than the album names its pages loads nothing.
const strayed = await open(viewerUrl + "?img=" + encodeURIComponent(order[0]) + "&page=../../elsewhere/x&at=0");
check((await strayed.$$eval("script", (scripts) => scripts.length)) === 1, "a forged month page loads no script");
await strayed.close();
// Escape leads back to the month.
await Promise.all([may.waitForURL(/202405\.html/), may.keyboard.press("Escape")]);
check(may.url().endsWith("202405.html"), "Escape goes back to the month page");

// Movies: each its poster, upright, with a play mark and its length, and no player (nor any of
// the movie loaded) until it is pressed; pressed, it plays where its poster was. One that does
// not decode keeps its player.
const movies = await open(mayUrl);
check((await movies.$$eval("video", (players) => players.map((p) => p.getAttribute("src")))).join() ===
      "../../2024/05/clip.mp4", "before any press, the only player is the movie without a poster");
const walkLink = "a.movie_link[data-movie$='walk.mp4']";
check((await movies.locator(walkLink).count()) === 1, "the phone's movie is one poster");
await movies.$eval(walkLink, (link) => link.scrollIntoView({ block: "center" }));
await movies.waitForFunction((selector) => document.querySelector(selector + " img").complete, walkLink);
const posterShown = await movies.$eval(walkLink, (link) => ({
  width: link.querySelector("img").naturalWidth, height: link.querySelector("img").naturalHeight,
  length: link.querySelector(".movie_length").textContent, mark: link.querySelector(".movie_play") !== null }));
check(posterShown.width === 180 && posterShown.height === 240 && posterShown.length === "0:02" && posterShown.mark,
      `the poster loads upright with its play mark and length (${JSON.stringify(posterShown)})`);
// A camcorder's movie, which a browser does not play: its poster, play mark and length too, but
// no player; pressed, it is offered as a file, as any file the album cannot show.
const camcorderLink = "a.movie_file[href*='00001.MTS']";
await movies.$eval(camcorderLink, (link) => link.scrollIntoView({ block: "center" }));
await movies.waitForFunction((selector) => document.querySelector(selector + " img").complete, camcorderLink);
const camcorder = await movies.$eval(camcorderLink, (link) => ({
  width: link.querySelector("img").naturalWidth, height: link.querySelector("img").naturalHeight,
  length: link.querySelector(".movie_length").textContent, mark: link.querySelector(".movie_play") !== null,
  movie: link.hasAttribute("data-movie") }));
check(camcorder.width === 320 && camcorder.height === 240 && camcorder.length === "0:02" && camcorder.mark && !camcorder.movie,
      `the camcorder's movie shows its poster with its length and no player (${JSON.stringify(camcorder)})`);
await shot(movies, "album_month_movies.png");
const walkViewer = new URL(await movies.$eval(walkLink, (a) => a.getAttribute("href")), mayUrl).href;
await movies.click(walkLink);
await movies.waitForFunction(() => {
  const player = document.querySelector("video.movie_player");
  return player !== null && player.currentTime > 0.2;
}, null, { timeout: 30000 }).catch(() => {});
const pressed = await movies.evaluate(() => {
  const player = document.querySelector("video.movie_player");
  return player && { src: player.getAttribute("src"), preload: player.preload, poster: player.poster !== "",
                     time: player.currentTime, error: player.error && player.error.code };
});
check(pressed !== null && pressed.src === "../../2024/05/walk.mp4" && pressed.preload === "none" && pressed.poster &&
      pressed.time > 0.2, `a press plays the movie in its poster's place (${JSON.stringify(pressed)})`);
await shot(movies, "album_month_movie_playing.png");
// The viewer opens a movie with its player, and pages from it through the month's photos.
await movies.goto(walkViewer);
await movies.waitForSelector("#movie");
const inViewer = await movies.$eval("#movie", (player) => ({
  src: player.getAttribute("src"), preload: player.preload, poster: player.getAttribute("poster"),
  name: document.getElementById("name").textContent, picture: document.getElementById("picture") }));
check(inViewer.src === "../2024/05/walk.mp4" && inViewer.preload === "none" && /^thumb\/2024\/20240503_\d+\.jpg$/.test(inViewer.poster) &&
      inViewer.name === "walk.mp4" && inViewer.picture === null, `the viewer shows the movie with its player (${JSON.stringify(inViewer)})`);
await shot(movies, "album_viewer_movie.png");
const walkAt = order.indexOf(null);
await Promise.all([movies.waitForURL((url) => url.searchParams.get("img") === order[walkAt - 1]),
                   movies.keyboard.press("ArrowLeft")]);
check(new URL(movies.url()).searchParams.get("img") === order[walkAt - 1], "the arrow pages from the movie to the photo before it");
await Promise.all([movies.waitForURL((url) => url.searchParams.has("movie")), movies.keyboard.press("ArrowRight")]);
check(new URL(movies.url()).searchParams.get("movie") === "../2024/05/walk.mp4", "and back to the movie");
// A Live Photo: one item, the photo's, with its mark; the viewer plays its movie without
// sound where the photo was when it is pressed, and the photo comes back when it ends.
await movies.goto(mayUrl);
const items = await movies.$$eval(".picture_item_wrap > a:not(.picture_list_gps_link)", (links) => links.map((a) => {
  const query = new URL(a.href).searchParams;
  return { file: query.get("img") || query.get("movie") || query.get("file"), live: query.get("live"), mark: a.querySelector(".live_mark") };
}).map((item) => ({ file: item.file, live: item.live, mark: item.mark === null ? null : item.mark.textContent })));
const liveItems = items.filter((item) => item.file.includes("IMG_0100"));
check(liveItems.length === 1 && liveItems[0].file === "../2024/05/IMG_0100.JPG" && liveItems[0].live === "../2024/05/IMG_0100.MOV" &&
      liveItems[0].mark === "LIVE", `the Live Photo shows once, as its photo with its mark (${JSON.stringify(liveItems)})`);
await Promise.all([movies.waitForURL(/picture\.html/), movies.click("a[href*='IMG_0100.JPG']")]);
await movies.waitForFunction(() => document.getElementById("picture").complete && !document.getElementById("live").hidden);
await movies.evaluate(() => document.addEventListener("playing", (event) => {
  window.livePlayed = { muted: event.target.muted, src: event.target.getAttribute("src") };
}, true));
await shot(movies, "album_viewer_live.png");
await movies.click("#picture");
await movies.waitForFunction(() => window.livePlayed !== undefined, null, { timeout: 30000 }).catch(() => {});
await movies.waitForFunction(() => document.getElementById("live_movie") === null, null, { timeout: 30000 }).catch(() => {});
const afterLive = await movies.evaluate(() => ({ played: window.livePlayed || null,
  photoBack: !document.getElementById("picture").hidden, player: document.getElementById("live_movie") !== null }));
check(afterLive.played !== null && afterLive.played.muted && afterLive.played.src === "../2024/05/IMG_0100.MOV" &&
      afterLive.photoBack && !afterLive.player, `a press plays the Live Photo's movie without sound, then the photo comes back (${JSON.stringify(afterLive)})`);
await movies.goto(mayUrl);
await Promise.all([movies.waitForURL(/unknown\.html/), movies.click(camcorderLink)]);
const offered = await movies.$eval("#open", (a) => (a.hidden ? null : a.getAttribute("href")));
check(offered === "../2024/05/00001.MTS" && fs.existsSync(onDisk(movies.url(), offered)),
      `a press on the camcorder's movie offers the file (${offered})`);
await shot(movies, "album_unknown_camcorder.png");
await movies.close();

// An iPhone's HEIC, which no browser here shows: its thumbnail, and a viewer that shows the
// album's own picture of it and offers the photo itself to be saved.
const aprilUrl = new URL("./2021/202104.html", indexUrl).href;
const april = await open(aprilUrl);
const heicLink = april.locator("a[href*='IMG_5195.HEIC']");
check((await heicLink.count()) === 1, "the HEIC photo is one picture item");
check((await april.$eval("a[href*='IMG_5195.HEIC'] img.picture_item", (img) => img.naturalHeight)) === 240,
      "the HEIC photo's thumbnail shows");
await Promise.all([april.waitForURL(/picture\.html/), heicLink.click()]);
await april.waitForFunction(() => document.getElementById("picture").complete);
check((await april.$eval("#picture", (img) => img.naturalHeight)) === 2048, "the viewer shows the album's picture of the HEIC");
const saved = await april.$eval("#original", (a) => (a.hidden ? null : { href: a.getAttribute("href"), name: a.getAttribute("download") }));
check(saved !== null && saved.name === "ianare_IMG_5195.HEIC" && fs.existsSync(fileOf(april.url(), saved.href)),
      `the viewer offers the HEIC itself to be saved (${JSON.stringify(saved)})`);
await shot(april, "album_viewer_heic.png");
// The viewer shows a file only as its month's list has it. A link that pairs a file with
// another's picture shows the file's own (the HEIC its album picture, the JPEG itself), and one
// that leaves the album, or names a file the month does not have, shows nothing but a message.
const heicQuery = new URL(april.url()).searchParams;
const heic = { img: heicQuery.get("img"), view: heicQuery.get("view"), at: heicQuery.get("at") };
// Another photo's picture, one the album made.
const otherView = albumViews.find((view) => view !== heic.view && fs.existsSync(path.join(album, view)));
check(otherView !== undefined, `the album has the picture of another photo of the HEIF family (${albumViews})`);
const viewerOf = (img, view, page, at) => open(viewerUrl + "?img=" + encodeURIComponent(img) +
  (view === null ? "" : "&view=" + encodeURIComponent(view)) + (page === null ? "" : "&page=" + page + "&at=" + at));
const settled = (viewer) => viewer.waitForFunction(() => !document.getElementById("message").hidden ||
  (document.getElementById("picture").src !== "" && document.getElementById("picture").complete));
const shows = (viewer) => viewer.evaluate(() => {
  const picture = document.getElementById("picture");
  return { src: picture.hidden ? null : picture.getAttribute("src"), width: picture.naturalWidth,
           name: document.getElementById("name").textContent,
           message: document.getElementById("message").hidden ? null : document.getElementById("message").textContent };
});
for (const [img, view, page, at, expected, what] of [
  [order[tokyoAt], heic.view, "2024/202405", tokyoAt, { src: order[tokyoAt], width: 800, name: "tokyo.jpg" },
   "a JPEG linked with the HEIC's picture shows itself"],
  [heic.img, otherView, "2021/202104", heic.at, { src: heic.view, name: "ianare_IMG_5195.HEIC" },
   "the HEIC linked with another photo's picture shows its own"],
  [heic.img, "javascript:alert(1)", "2021/202104", heic.at, { src: heic.view, name: "ianare_IMG_5195.HEIC" },
   "a javascript: view is refused"],
  [heic.img, "//example.com/thumb/2021/x_view.jpg", "2021/202104", heic.at, { src: heic.view, name: "ianare_IMG_5195.HEIC" },
   "a view on another host is refused"],
  [heic.img, "thumb/../../../etc/x_view.jpg", "2021/202104", heic.at, { src: heic.view, name: "ianare_IMG_5195.HEIC" },
   "a view that climbs out of the album is refused"],
]) {
  const viewer = await viewerOf(img, view, page, at);
  await settled(viewer);
  const seen = await shows(viewer);
  check(seen.src === expected.src && seen.name === expected.name && seen.message === null && seen.width > 0 &&
        (expected.width === undefined || seen.width === expected.width), `${what} (${JSON.stringify(seen)})`);
  await viewer.close();
}
for (const [img, page, what] of [
  ["javascript:alert(1)", "2024/202405", "a javascript: file"],
  ["//example.com/x.jpg", "2024/202405", "a file on another host"],
  ["https://example.com/x.jpg", "2024/202405", "an absolute address"],
  ["../2024/../../../etc/passwd", "2024/202405", "a file that climbs out of the album"],
  ["../2024/06/it's #1 & more.jpg", "2024/202405", "a file of another month"],
  [order[tokyoAt], null, "a file without its month"],
]) {
  const viewer = await viewerOf(img, null, page, 0);
  await settled(viewer);
  const seen = await shows(viewer);
  check(seen.src === null && seen.name === "" && seen.message === "表示できる写真が指定されていません。" &&
        (await viewer.$eval("#next", (a) => a.hidden)), `${what} is refused (${JSON.stringify(seen)})`);
  if (img.startsWith("javascript:")) await shot(viewer, "album_viewer_refused.png");
  await viewer.close();
}
await april.close();

// The hostile names of June: links that keep them whole, and a name shown as text.
const juneUrl = new URL("./2024/202406.html", indexUrl).href;
const june = await open(juneUrl);
const hostile = june.locator(".picture_item_unknown_frame", { hasText: "onclick" });
check((await hostile.count()) === 1, "the hostile name is one item");
check((await hostile.textContent()) === "x' onclick='alert(1) &amp;.txt", "the month page shows the hostile name as text");
await Promise.all([june.waitForURL(/unknown\.html/), hostile.click()]);
check((await june.textContent("#file")) === "x' onclick='alert(1) &amp;.txt", "unknown.html shows the name as text");
const opens = await june.$eval("#open", (a) => a.getAttribute("href"));
check(fs.existsSync(fileOf(june.url(), opens)), `unknown.html opens the file itself (${opens})`);
await shot(june, "album_unknown.png");
await june.goto(juneUrl);
const odd = june.locator("a[href*='picture.html?img='][href*='more.jpg']");
await Promise.all([june.waitForURL(/picture\.html/), odd.click()]);
await june.waitForFunction(() => document.getElementById("picture").complete);
check((await june.$eval("#picture", (img) => img.naturalWidth)) === 640, "a name with ', # and & opens in the viewer");

// What the photo knows: a panel the "i" key and its button open, with the camera, its exposure,
// the day and where it came from, and the sizes; every value shown as text.
const factsOf = (viewer) => viewer.$$eval("#facts_list dt", (terms) => Object.fromEntries(
  terms.map((term) => [term.textContent, term.nextElementSibling.textContent])));
const may2008 = await open(new URL("./2008/200805.html", indexUrl).href);
await Promise.all([may2008.waitForURL(/picture\.html/), may2008.click("a[href*='ianare_Canon_40D.jpg']")]);
await may2008.waitForFunction(() => document.getElementById("picture").complete && !document.getElementById("facts_button").hidden);
check(await may2008.$eval("#facts", (panel) => panel.hidden), "the facts panel starts closed");
await may2008.keyboard.press("i");
check(!(await may2008.$eval("#facts", (panel) => panel.hidden)), "the i key opens the facts panel");
const canon = await factsOf(may2008);
check(canon["撮影日時"] === "2008年5月30日 15:56:01" && canon["日時の取得元"] === "カメラ" && canon["カメラ"] === "Canon EOS 40D" &&
      canon["シャッター速度"] === "1/160 s" && canon["絞り値"] === "f/7.1" && canon["ISO感度"] === "100" &&
      canon["焦点距離"] === "135 mm" && canon["画像サイズ"] === "100 × 68 ピクセル" && canon["ファイルサイズ"] === "7.8 KB",
      `the panel tells the camera, its exposure, the day and the sizes (${JSON.stringify(canon)})`);
await shot(may2008, "album_viewer_facts.png");
await may2008.setViewportSize({ width: 390, height: 844 });
const fitsPhone = await may2008.$eval("#facts", (panel) => {
  const box = panel.getBoundingClientRect();
  return box.left >= 0 && box.right <= window.innerWidth && box.bottom <= window.innerHeight;
});
check(fitsPhone, "the facts panel fits a phone's width");
await shot(may2008, "album_viewer_facts_phone.png");
await may2008.click("#facts_button");
check(await may2008.$eval("#facts", (panel) => panel.hidden), "its button closes the panel");
await may2008.close();
const oddCamera = await open(new URL("./2024/202406.html", indexUrl).href);
await Promise.all([oddCamera.waitForURL(/picture\.html/), oddCamera.click("a[href*='odd camera.jpg']")]);
await oddCamera.waitForFunction(() => !document.getElementById("facts_button").hidden);
await oddCamera.click("#facts_button");
const oddFacts = await factsOf(oddCamera);
check(oddFacts["カメラ"] === '<img src=x onerror="window.pwned=2"> Model </dd><b>9</b>' && oddFacts["日時の取得元"] === "カメラ",
      `a camera's name that is markup is shown as text (${JSON.stringify(oddFacts)})`);
check((await oddCamera.$$eval("#facts img, #facts b", (found) => found.length)) === 0 &&
      (await oddCamera.evaluate(() => window.pwned)) === undefined, "no markup of a camera's name reached the page");
await shot(oddCamera, "album_viewer_facts_hostile.png");
await oddCamera.close();

// Viewer pages opened with a query nobody's album wrote: the values stay data.
const viewerBase = pathToFileURL(path.join(album, "unknown.html")).href;
const crafted = await open(viewerBase + "?file=javascript:alert(1)&name=" +
  encodeURIComponent('<img src=x onerror="window.pwned=1">') + "&map=1&lat=999&lon=1");
check((await crafted.textContent("#file")) === "", "a file that cannot be opened is not named");
check(!(await crafted.$eval("#message", (p) => p.hidden)), "a file that cannot be opened is said so");
check(await crafted.$eval("#open", (a) => a.hidden), "a javascript: file gets no link");
check(await crafted.$eval("#map", (a) => a.hidden), "a latitude out of range gets no map");
check((await crafted.evaluate(() => window.pwned)) === undefined, "no script of the query ran");
// A name of its own cannot label one file and open another: the page names what it opens.
const relabelled = await open(viewerBase + "?file=../2024/06/" + encodeURIComponent("a&b x#1.txt") + "&name=holiday.jpg");
check((await relabelled.textContent("#file")) === "a&b x#1.txt", "unknown.html names the file its link opens");
check((await relabelled.title()).startsWith("a&b x#1.txt"), "its title names that file too");
await relabelled.close();
check(dialogs.length === 0, `no page opened a dialog ${JSON.stringify(dialogs)}`);
check(problems.length === 0, `no page reported an error ${JSON.stringify(problems)}`);
await browser.close();
console.log(`${failures.length} failed`);
process.exit(failures.length === 0 ? 0 : 1);
