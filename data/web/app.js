// The dashboard page: one live stream (/api/events) for every machine; the
// queue is changed through the API with the token kept in this browser.
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
  cards.set(name, section);
  document.getElementById("machines").appendChild(section);
  return section;
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
  const reason = [m.reason, m.notice].filter(Boolean).join(" / ");
  section.querySelector(".reason").textContent = reason || "—";
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
  for (const file of q.files) {
    const li = document.createElement("li");
    const label = document.createElement("span");
    label.textContent = file;
    const remove = document.createElement("button");
    remove.textContent = "削除";
    remove.addEventListener("click", async () => {
      if (!confirm(file + " を送信待ちから削除しますか?")) return;
      const url = "api/machines/" + encodeURIComponent(q.machine) + "/queue/" + encodeURIComponent(file);
      const response = await change(url, { method: "DELETE" });
      if (!response) { say(section, "取り消しました", true); return; }
      const body = await response.json().catch(() => ({}));
      say(section, response.ok ? "削除しました: " + file : "削除できません: " + (body.error || response.status),
          !response.ok);
    });
    li.append(label, remove);
    list.appendChild(li);
  }
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
