// Builds the spell checker's word list from a plain list of words (one per line): sorted,
// without duplicates, each line led by a digit telling how many characters the word shares
// with the word before it.
//
//   make_wordlist /usr/share/dict/american-english english.wrd

#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "SpellCheckers.h"
#include "Streams.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make_wordlist WORDS OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::string> words;
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (!line.empty())
            words.push_back(line);
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());

    std::string text;
    const std::string* previous = nullptr;
    for (const std::string& word : words) {
        size_t shared = 0;
        if (previous)
            while (shared < 9 && shared < word.size() && shared < previous->size() && word[shared] == (*previous)[shared])
                ++shared;
        text += static_cast<char>('0' + shared);
        text.append(word, shared);
        text += '\n';
        previous = &word;
    }
    zv::SaveFileAtomically(argv[2], text.data(), static_cast<int64_t>(text.size()));

    // Read it back the way the editor does.
    zv::TSpellChecker checker;
    checker.LoadFromFile(argv[2]);
    for (const std::string& word : words)
        if (!checker.IsKnownWord(word)) {
            std::cerr << "word lost: " << word << "\n";
            return 1;
        }
    std::cout << words.size() << " words, " << text.size() << " bytes\n";
    return 0;
}
