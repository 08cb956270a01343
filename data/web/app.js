// The dashboard page: one live stream (/api/events) for every machine; the
// queue is changed through the API with the token kept in this browser; a
// machine's library, inbox and last log are read when the page asks for them.
"use strict";

const TOKEN_KEY = "quelvo-dnc-token";
const STATE_TEXT = {
  starting: "起動中", waiting: "待機中", receiving: "受信中", sending: "送信中",
  offline: "オフライン", stopped: "停止",
};
const cards = new Map();  // machine name -> its section

function token() { return localStorage.getItem(TOKEN_KEY) || ""; }

// Asks for the token (once: it stays in this browser); resolves to "" when cancelled.
function askToken() {
  const dialog = document.getElementById("token-dialog");
  const input = document.getElementById("token-input");
  input.value = "";
  return new Promise((resolve) => {
    dialog.addEventListener("close", () => {
      const value = dialog.returnValue === "ok" ? input.value.trim() : "";
      if (value) localStorage.setItem(TOKEN_KEY, value);
      resolve(value);
    }, { once: true });
    dialog.showModal();
  });
}

// A change to the queue: the token first (asked when there is none), asked
// again once when the service refuses it.
async function change(url, options) {
  for (let attempt = 0; attempt < 2; ++attempt) {
    let t = token();
    if (!t) t = await askToken();
    if (!t) return null;
    const headers = Object.assign({}, options.headers || {}, { "X-Quelvo-Token": t });
    const response = await fetch(url, Object.assign({}, options, { headers }));
    if (response.status !== 401) return response;
    localStorage.removeItem(TOKEN_KEY);
  }
  return null;
}

// Headers of a read: the token when this browser has one (the service may
// be closed for reading without it).
function readHeaders() {
  const t = token();
  return t ? { "X-Quelvo-Token": t } : {};
}

function machineUrl(name, ...parts) {
  return "api/machines/" + encodeURIComponent(name) + parts.map((p) => "/" + encodeURIComponent(p)).join("");
}

async function readJson(url) {
  const response = await fetch(url, { headers: readHeaders() });
  const body = await response.json().catch(() => ({}));
  return { ok: response.ok, status: response.status, body };
}

// A change and what the page says of it: `done` the text on success,
// `failed` the start of the text when the service refuses.
async function changeAndSay(section, url, options, done, failed) {
  const response = await change(url, options);
  if (!response) { say(section, "取り消しました", true); return null; }
  const body = await response.json().catch(() => ({}));
  if (response.ok) say(section, done(body));
  else say(section, failed + ": " + (body.error || response.status), true);
  return response.ok ? body : null;
}

function sizeText(bytes) {
  return bytes >= 1024 * 1024 ? (bytes / 1024 / 1024).toFixed(1) + " MB"
    : bytes >= 1024 ? (bytes / 1024).toFixed(1) + " KB" : bytes + " バイト";
}

function timeText(seconds) {
  if (!seconds) return "";
  return new Date(seconds * 1000).toLocaleString("ja-JP");
}

function say(card, text, isError) {
  const p = card.querySelector(".message");
  p.textContent = text;
  p.classList.toggle("error", !!isError);
}

function card(name) {
  let section = cards.get(name);
  if (section) return section;
  section = document.getElementById("machine-template").content.firstElementChild.cloneNode(true);
  section.dataset.machine = name;
  section.querySelector(".name").textContent = name;
  section.querySelector(".upload").addEventListener("submit", async (event) => {
    event.preventDefault();
    const form = event.target;
    const url = "api/machines/" + encodeURIComponent(name) + "/queue";
    const response = await change(url, { method: "POST", body: new FormData(form) });
    if (!response) { say(section, "取り消しました", true); return; }
    const body = await response.json().catch(() => ({}));
    if (response.ok) {
      say(section, "送信待ちに入れました: " + body.queued);
      form.reset();
    } else {
      say(section, "追加できません: " + (body.error || response.status), true);
    }
  });
  wireMachineFolders(section, name);
  cards.set(name, section);
  document.getElementById("machines").appendChild(section);
  return section;
}

// The parts of a card that read the machine's folders on demand: the
// library's programs to queue, the inbox, the last transfer's log, and the
// acknowledgement of a notice.
function wireMachineFolders(section, name) {
  const select = section.querySelector(".from-library select");
  const loadLibrary = async () => {
    const { ok, body } = await readJson(machineUrl(name, "library"));
    if (!ok) return;
    const chosen = select.value;
    select.replaceChildren(select.options[0]);
    for (const f of body.files) {
      const option = document.createElement("option");
      option.value = f.name;
      option.textContent = f.name + "(" + sizeText(f.bytes) + ")";
      select.appendChild(option);
    }
    select.value = chosen;
  };
  loadLibrary();
  select.addEventListener("focus", loadLibrary);
  section.querySelector(".from-library").addEventListener("submit", async (event) => {
    event.preventDefault();
    if (!select.value) { say(section, "ライブラリのプログラムを選んでください", true); return; }
    await changeAndSay(section, machineUrl(name, "library", select.value, "queue"), { method: "POST" },
                       (b) => "送信待ちに入れました: " + b.queued, "追加できません");
  });
  section.querySelector(".ack").addEventListener("click", async () => {
    await changeAndSay(section, machineUrl(name, "notice", "ack"), { method: "POST" },
                       () => "確認済みにしました", "確認できません");
  });
  const inboxBox = section.querySelector(".inbox-box");
  inboxBox.addEventListener("toggle", () => { if (inboxBox.open) loadInbox(section, name); });
  const logBox = section.querySelector(".log-box");
  logBox.addEventListener("toggle", () => { if (logBox.open) loadLog(section, name); });
}

async function loadInbox(section, name) {
  const { ok, status, body } = await readJson(machineUrl(name, "inbox"));
  const list = section.querySelector(".inbox");
  list.replaceChildren();
  if (!ok) { say(section, "受信済みを読めません: " + (body.error || status), true); return; }
  section.querySelector(".inbox-count").textContent = "(" + body.files.length + " 件)";
  for (const f of body.files) {
    const li = document.createElement("li");
    const label = document.createElement("span");
    label.textContent = f.name;
    const info = document.createElement("small");
    info.textContent = sizeText(f.bytes) + " " + timeText(f.time);
    label.appendChild(info);
    const download = document.createElement("button");
    download.textContent = "保存";
    download.className = "download";
    download.addEventListener("click", () => downloadInbox(section, name, f.name));
    const compare = document.createElement("button");
    compare.textContent = "比較";
    compare.className = "compare-button";
    compare.addEventListener("click", () => showCompare(section, name, f.name));
    li.dataset.file = f.name;
    li.append(label, download, compare);
    list.appendChild(li);
  }
}

// The received program byte for byte, saved under its own name.
async function downloadInbox(section, name, file) {
  const response = await fetch(machineUrl(name, "inbox", file), { headers: readHeaders() });
  if (!response.ok) {
    const body = await response.json().catch(() => ({}));
    say(section, "保存できません: " + (body.error || response.status), true);
    return;
  }
  const url = URL.createObjectURL(await response.blob());
  const a = document.createElement("a");
  a.href = url;
  a.download = file;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
  say(section, "保存しました: " + file);
}

// The received program against the library's program of the same name.
async function showCompare(section, name, file) {
  const box = section.querySelector(".compare");
  const title = section.querySelector(".compare-title");
  const diff = section.querySelector(".diff");
  const { ok, status, body } = await readJson(machineUrl(name, "inbox", file, "compare"));
  box.hidden = false;
  diff.replaceChildren();
  if (!ok) {
    title.className = "compare-title different";
    title.textContent = file + ": 比較できません(" + (body.error || status) + ")";
    return;
  }
  title.className = "compare-title " + (body.same ? "same" : "different");
  title.textContent = file + " とライブラリ: " + (body.same ? "同じです" : body.summary);
  for (const line of body.text.split("\n")) {
    if (!line) continue;
    const span = document.createElement("span");
    if (line.startsWith("+++") || line.startsWith("---") || line.startsWith("@@")) span.className = "hunk";
    else if (line.startsWith("+")) span.className = "added";
    else if (line.startsWith("-")) span.className = "removed";
    span.textContent = line + "\n";
    diff.appendChild(span);
  }
}

async function loadLog(section, name) {
  const { ok, body } = await readJson(machineUrl(name, "log"));
  section.querySelector(".log-text").textContent = ok ? body.file + "\n\n" + body.text : (body.error || "—");
}

function showMachine(m) {
  const section = card(m.machine);
  section.className = "machine " + m.state;
  let state = STATE_TEXT[m.state] || m.state;
  if (m.state === "receiving") state += " " + m.lines + " 行";
  if (m.state === "sending" && m.percent >= 0) state += " " + m.percent + " %";
  if (m.held) state += "(機械側で一時停止中)";
  section.querySelector(".badge").textContent = STATE_TEXT[m.state] || m.state;
  section.querySelector(".detail").textContent = state;
  section.querySelector(".program").textContent = m.program || "—";
  section.querySelector(".since").textContent = timeText(m.since);
  section.querySelector(".reason").textContent = m.reason || "—";
  const notice = section.querySelector(".notice");
  notice.hidden = !m.notice;
  section.querySelector(".notice-text").textContent = m.notice || "";
  if (!section.dataset.listed) section.querySelector(".queued").textContent = "(" + m.queued + " 件)";
  const bar = section.querySelector("progress");
  bar.hidden = !(m.state === "sending" && m.percent >= 0);
  if (!bar.hidden) bar.value = m.percent;
}

function showQueue(q) {
  const section = card(q.machine);
  const list = section.querySelector(".queue");
  list.replaceChildren();
  // The listing is read from the spool itself: fresher than the worker's count.
  section.dataset.listed = "1";
  section.querySelector(".queued").textContent = "(" + q.files.length + " 件)";
  q.files.forEach((file, index) => {
    const li = document.createElement("li");
    li.dataset.file = file;
    const label = document.createElement("span");
    label.textContent = file;
    const move = (direction, text, disabled) => {
      const button = document.createElement("button");
      button.textContent = text;
      button.className = direction;
      button.title = direction === "up" ? "先に送る" : "後に送る";
      button.disabled = disabled;
      button.addEventListener("click", () => changeAndSay(section, machineUrl(q.machine, "queue", file, direction),
        { method: "POST" }, () => "順番を変えました: " + file, "順番を変えられません"));
      return button;
    };
    const remove = document.createElement("button");
    remove.textContent = "削除";
    remove.className = "remove";
    remove.addEventListener("click", async () => {
      if (!confirm(file + " を送信待ちから削除しますか?")) return;
      await changeAndSay(section, machineUrl(q.machine, "queue", file), { method: "DELETE" },
                         () => "削除しました: " + file, "削除できません");
    });
    li.append(label, move("up", "↑", index === 0), move("down", "↓", index === q.files.length - 1), remove);
    list.appendChild(li);
  });
}

function showTransfer(t) {
  const section = card(t.machine);
  const dd = section.querySelector(".last");
  const result = t.ok ? "正常終了" : "異常終了" + (t.error ? "(エラー " + t.error + ")" : "");
  dd.replaceChildren();
  const head = document.createElement("strong");
  head.textContent = result + " " + timeText(t.at);
  const log = document.createElement("div");
  log.className = "log";
  log.textContent = t.text;
  dd.append(head, log);
  dd.classList.toggle("failed", !t.ok);
  // A finished transfer may have brought a program or a new log.
  if (section.querySelector(".inbox-box").open) loadInbox(section, t.machine);
  if (section.querySelector(".log-box").open) loadLog(section, t.machine);
}

function durationText(seconds) {
  const d = Math.floor(seconds / 86400), h = Math.floor(seconds % 86400 / 3600), m = Math.floor(seconds % 3600 / 60);
  return (d ? d + " 日 " : "") + h + " 時間 " + m + " 分";
}

function connect() {
  const t = token();
  const source = new EventSource("api/events" + (t ? "?token=" + encodeURIComponent(t) : ""));
  const service = document.getElementById("service");
  let info = null;
  let skew = 0;  // the service's clock less this browser's
  const showService = () => {
    if (!info) return;
    const now = Date.now() / 1000 + skew;
    service.textContent = info.machines + " 台 · 稼働 " + durationText(now - info.started) +
      " · 本日の転送 " + info.transfers_today + " 件 · エラー " + info.errors_today + " 件";
  };
  source.addEventListener("service", (e) => {
    info = JSON.parse(e.data);
    skew = info.now - Date.now() / 1000;
    showService();
  });
  setInterval(showService, 30000);
  source.addEventListener("machines", (e) => JSON.parse(e.data).forEach(showMachine));
  source.addEventListener("queues", (e) => JSON.parse(e.data).forEach(showQueue));
  source.addEventListener("transfers", (e) => JSON.parse(e.data).forEach(showTransfer));
  source.addEventListener("open", () => service.classList.remove("lost"));
  source.addEventListener("error", () => { service.textContent = "接続が切れました。再接続中…"; });
}

async function start() {
  // Reading may need the token too (when the service is not open for reading).
  const t = token();
  const response = await fetch("api/machines", { headers: t ? { "X-Quelvo-Token": t } : {} });
  if (response.status === 401) {
    localStorage.removeItem(TOKEN_KEY);
    if (!(await askToken())) {
      document.getElementById("service").textContent = "表示にはトークンが必要です";
      return;
    }
  }
  connect();
}

start();
