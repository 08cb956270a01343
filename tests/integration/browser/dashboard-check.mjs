// Drives Debian's Chromium headless through chromedriver's W3C WebDriver API
// (node's own fetch, nothing downloaded) against a running quelvo-dnc:
//   node dashboard-check.mjs URL TOKEN MACHINES PUNCHING UPLOAD_MACHINE UPLOAD_FILE SHOT_DIR
//                             FOLDER_MACHINE INBOX_FILE DOWNLOAD_DIR
// Checks that the page shows every machine, that a punch appears live (no
// reload), and that the token is asked before the first change; then queues
// UPLOAD_FILE for UPLOAD_MACHINE through the page and shows its last log.
// On FOLDER_MACHINE (offline, with O8101.nc and O8102.nc in its library and
// INBOX_FILE's name in its inbox) it queues both from the library, moves the
// second up, saves the inbox file into DOWNLOAD_DIR (compared byte for byte
// with INBOX_FILE) and shows its compare with the library. Prints "ok" at the
// end; any failure ends it with status 1 and the reason.
import { spawn } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync, writeFileSync, rmSync } from "node:fs";
import { createServer } from "node:net";
import { tmpdir } from "node:os";
import { basename, join } from "node:path";

const [url, token, machineCount, punching, uploadMachine, uploadFile, shotDir, folderMachine, inboxFile, downloadDir] =
  process.argv.slice(2);
const ELEMENT = "element-6066-11e4-a52e-4f735466cecf";
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

function freePort() {
  return new Promise((resolve) => {
    const server = createServer();
    server.listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

const driverPort = await freePort();
const profile = mkdtempSync(join(tmpdir(), "quelvo-chromium-"));
const driver = spawn("chromedriver", [`--port=${driverPort}`], { stdio: "ignore" });
const base = `http://127.0.0.1:${driverPort}`;
let session = null;

async function call(method, path, body) {
  const response = await fetch(base + path, {
    method,
    headers: { "Content-Type": "application/json" },
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const json = await response.json();
  if (!response.ok) throw new Error(`${method} ${path}: ${JSON.stringify(json.value)}`);
  return json.value;
}
const run = (script, ...args) => call("POST", `/session/${session}/execute/sync`, { script, args });
const find = async (css) => (await call("POST", `/session/${session}/element`, { using: "css selector", value: css }))[ELEMENT];
const click = async (css) => call("POST", `/session/${session}/element/${await find(css)}/click`, {});
const type = async (css, text) => call("POST", `/session/${session}/element/${await find(css)}/value`, { text });

async function shot(name) {
  const png = await call("GET", `/session/${session}/screenshot`);
  writeFileSync(join(shotDir, name), Buffer.from(png, "base64"));
}

async function waitFor(what, script, timeoutMs, ...args) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await run(script, ...args);
    if (value) return value;
    if (Date.now() > end) throw new Error("timed out waiting for " + what);
    await sleep(200);
  }
}

function fail(error) {
  console.error("dashboard-check: " + (error && error.stack ? error.stack : error));
  process.exitCode = 1;
}

try {
  for (let i = 0; ; ++i) {  // chromedriver takes a moment to listen
    try { await fetch(base + "/status"); break; } catch (e) { if (i > 100) throw e; await sleep(100); }
  }
  session = (await call("POST", "/session", {
    capabilities: { alwaysMatch: { browserName: "chrome", "goog:chromeOptions": {
      binary: "/usr/bin/chromium",
      args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--no-first-run", "--disable-dev-shm-usage",
             `--user-data-dir=${profile}`, "--window-size=1024,900", "--lang=ja"],
      prefs: { "download.default_directory": downloadDir, "download.prompt_for_download": false },
    } } },
  })).sessionId;
  await call("POST", `/session/${session}/url`, { url });
  await waitFor(`${machineCount} machines`, "return document.querySelectorAll('.machine').length == arguments[0]",
                30000, Number(machineCount));
  await run("window.quelvoLoaded = true;");  // gone if the page were reloaded
  await shot("1-loaded.png");

  // The punch shows while it comes, and the page was never reloaded for it.
  await waitFor("the punch on the page",
    "const s = document.querySelector(`.machine[data-machine='${arguments[0]}']`);" +
    "return s && s.classList.contains('receiving') && /[1-9][0-9]* 行/.test(s.querySelector('.detail').textContent);",
    120000, punching);
  await shot("2-receiving.png");
  if (!(await run("return window.quelvoLoaded === true"))) throw new Error("the page was reloaded");

  // The first change asks for the token before anything is sent.
  const form = `.machine[data-machine='${uploadMachine}'] .upload`;
  await type(`${form} input[type=file]`, uploadFile);
  await click(`${form} button[type=submit]`);
  await waitFor("the token dialog", "return document.getElementById('token-dialog').open", 10000);
  const queuedBefore = await (await fetch(new URL(`api/machines/${uploadMachine}/queue`, url),
                                          { headers: { "X-Quelvo-Token": token } })).json();
  if (queuedBefore.files.length !== 0) throw new Error("something was queued before the token was given");
  await shot("3-token.png");
  await type("#token-input", token);
  await click("#token-ok");
  await waitFor("the queued message",
    "return document.querySelector(`.machine[data-machine='${arguments[0]}'] .message`).textContent.includes('送信待ちに入れました')",
    20000, uploadMachine);
  if (!(await run("return localStorage.getItem('quelvo-dnc-token') === arguments[0]", token)))
    throw new Error("the token was not kept");
  await shot("4-queued.png");
  // The file leaves the queue once the control has it.
  await waitFor("the send to finish",
    "const s = document.querySelector(`.machine[data-machine='${arguments[0]}']`);" +
    "return s.querySelectorAll('.queue li').length == 0 && s.classList.contains('waiting')",
    180000, uploadMachine);
  await waitFor("the send as the last transfer",
    "return document.querySelector(`.machine[data-machine='${arguments[0]}'] .last`).textContent.includes('正常終了')",
    20000, uploadMachine);
  await shot("5-sent.png");

  // The last transfer's log, read when its box is opened.
  const card = (m) => `.machine[data-machine='${m}']`;
  await click(`${card(uploadMachine)} .log-box summary`);
  await waitFor("the last log", "return /-S\\.log/.test(document.querySelector(arguments[0]).textContent)",
                20000, `${card(uploadMachine)} .log-text`);

  // Two programs from the library, the second moved ahead of the first.
  const folder = card(folderMachine);
  for (const program of ["O8101.nc", "O8102.nc"]) {
    await waitFor("the library's " + program,
      "return [...document.querySelectorAll(arguments[0])].some((o) => o.value === arguments[1])", 20000,
      `${folder} .from-library option`, program);
    await run("document.querySelector(arguments[0]).value = arguments[1]", `${folder} .from-library select`, program);
    await click(`${folder} .from-library button`);
    await waitFor("the queue to hold " + program,
      "return document.querySelector(arguments[0] + ` .queue li[data-file='${arguments[1]}']`) !== null", 20000,
      folder, program);
  }
  const order = `return [...document.querySelectorAll(arguments[0] + ' .queue li')].map((li) => li.dataset.file).join(' ')`;
  await click(`${folder} .queue li[data-file='O8102.nc'] button.up`);
  await waitFor("the new order", order + " === 'O8102.nc O8101.nc'", 20000, folder);
  await shot("6-order.png");

  // The inbox: its program saved byte for byte, and compared with the library's.
  const name = basename(inboxFile);
  await click(`${folder} .inbox-box summary`);
  await waitFor("the inbox", "return document.querySelector(arguments[0]) !== null", 20000,
                `${folder} .inbox li[data-file='${name}']`);
  await click(`${folder} .inbox li[data-file='${name}'] button.download`);
  const saved = join(downloadDir, name);
  for (let i = 0; !existsSync(saved); ++i) {
    if (i > 100) throw new Error("the inbox file was not saved");
    await sleep(200);
  }
  await sleep(300);  // the browser renames its partial file into place
  if (!readFileSync(saved).equals(readFileSync(inboxFile))) throw new Error("the saved file differs from the inbox's");
  await click(`${folder} .inbox li[data-file='${name}'] button.compare-button`);
  await waitFor("the compare", "const t = document.querySelector(arguments[0] + ' .compare-title').textContent;" +
    "return t.includes('変更 1 ブロック') && document.querySelectorAll(arguments[0] + ' .diff .removed').length === 1" +
    " && document.querySelectorAll(arguments[0] + ' .diff .added').length === 1", 20000, folder);
  await run("document.querySelector(arguments[0]).scrollIntoView({ block: 'end' })", `${folder} .compare`);
  await shot("7-compare.png");
  console.log("ok");
} catch (error) {
  fail(error);
} finally {
  if (session) await call("DELETE", `/session/${session}`).catch(() => {});
  driver.kill();
  rmSync(profile, { recursive: true, force: true });
}
